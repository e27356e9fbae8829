#include "platform/XmlStream.h"

#include <gtest/gtest.h>

namespace varnolt {
namespace {

// Every token in one line: S(tag ns attributes), E(tag), T[text].
std::string Trace(std::string_view xml) {
  XmlStream stream(xml, "t.docx", "word/document.xml");
  std::string trace;
  while (stream.Next() != XmlToken::kEnd) {
    switch (stream.Token()) {
      case XmlToken::kStartElement:
        trace += "S" + std::to_string(stream.Depth()) + "(" + std::string(stream.LocalName()) + " " +
                 std::string(stream.NamespaceUri());
        for (const auto& attribute : stream.Attributes()) {
          trace += " " + std::string(attribute.localName) + "=" + std::string(attribute.value);
        }
        trace += ")";
        break;
      case XmlToken::kEndElement:
        trace += "E(" + std::string(stream.LocalName()) + ")";
        break;
      case XmlToken::kText:
        trace += "T[" + std::string(stream.Text()) + "]";
        break;
      case XmlToken::kEnd:
        break;
    }
  }
  return trace;
}

TEST(XmlStreamTest, GivesElementsAttributesAndTextInOrder) {
  EXPECT_EQ(Trace(R"(<?xml version="1.0" encoding="UTF-8"?><!-- a comment -->
<w:doc xmlns:w="urn:w" xmlns="urn:d"><w:p w:val="1" plain="a&amp;b"><w:t xml:space="preserve"> a &lt; b </w:t><br/></w:p><![CDATA[<x>]]></w:doc>)"),
            "S0(doc urn:w)S1(p urn:w val=1 plain=a&b)S2(t urn:w space=preserve)T[ a < b ]E(t)S2(br urn:d)E(br)E(p)"
            "T[<x>]E(doc)");
}

TEST(XmlStreamTest, FindsAttributesByLocalNameAndNamespace) {
  const std::string xml = R"(<a xmlns:w="urn:w" xmlns:r="urn:r" w:id="1" r:id="rId5" other="x"/>)";
  XmlStream stream(xml, "t.docx", "p.xml");
  ASSERT_EQ(stream.Next(), XmlToken::kStartElement);
  EXPECT_EQ(stream.Attributes().size(), 3u) << "namespace declarations are no attributes";
  EXPECT_EQ(stream.Attribute("id", "urn:r"), "rId5");
  EXPECT_EQ(stream.Attribute("id", "urn:w"), "1");
  EXPECT_EQ(stream.Attribute("other"), "x");
  EXPECT_EQ(stream.Attribute("missing"), std::nullopt);
  EXPECT_EQ(stream.Next(), XmlToken::kEndElement);
  EXPECT_EQ(stream.Next(), XmlToken::kEnd);
  EXPECT_EQ(stream.Next(), XmlToken::kEnd);
}

TEST(XmlStreamTest, WalksInsideSkipsAndCollectsText) {
  const std::string xml = "<body><p><r><t>Hello</t></r><skip><t>no</t></skip><r><t> world</t></r></p><p/><tail/></body>";
  XmlStream stream(xml, "t.docx", "p.xml");
  ASSERT_TRUE(stream.Next() == XmlToken::kStartElement && stream.IsStart("body"));
  std::vector<std::string> paragraphs;
  const int bodyDepth = stream.Depth();
  while (stream.NextInside(bodyDepth)) {
    if (stream.IsStart("p")) {
      std::string text;
      const int depth = stream.Depth();
      while (stream.NextInside(depth)) {
        if (stream.IsStart("skip")) stream.Skip();
        if (stream.IsStart("t")) text += stream.ElementText();
      }
      paragraphs.push_back(text);
    }
  }
  EXPECT_EQ(paragraphs, (std::vector<std::string>{"Hello world", ""}));
  EXPECT_EQ(stream.LocalName(), "body");
}

TEST(XmlStreamTest, RefusesMalformedAndHostileXmlNamingThePlace) {
  std::string deep;
  // Deeper than our limit, not yet past libxml2's own (which is 256).
  for (int i = 0; i < 220; ++i) deep += "<a>";
  struct Case {
    const char* name;
    std::string xml;
    std::string message;
  };
  const Case cases[] = {
      {"unclosed", "<a>\n<b>\n</a>", "t.docx, part word/document.xml, line 3: "},
      {"empty", "", "t.docx, part word/document.xml, line 1: "},
      {"entity bomb",
       R"(<!DOCTYPE a [<!ENTITY x "xxxxxxxxxx"><!ENTITY y "&x;&x;&x;&x;&x;&x;&x;&x;&x;&x;">]><a>&y;</a>)",
       "t.docx, part word/document.xml, line 1: a document type declaration is not allowed"},
      {"external entity", R"(<!DOCTYPE a [<!ENTITY e SYSTEM "file:///etc/passwd">]><a>&e;</a>)",
       "t.docx, part word/document.xml, line 1: a document type declaration is not allowed"},
      {"deep", deep, "t.docx, part word/document.xml, line 1: elements nest deeper than 200 levels"},
  };
  for (const auto& c : cases) {
    std::string message;
    std::string text;
    try {
      XmlStream stream(c.xml, "t.docx", "word/document.xml");
      while (stream.Next() != XmlToken::kEnd) text += stream.Text();
    } catch (const EXmlError& error) {
      message = error.Message();
      EXPECT_EQ(error.Part(), "word/document.xml");
    }
    EXPECT_TRUE(message.starts_with(c.message)) << c.name << ": " << message;
    if (c.message.ends_with(": ")) {
      EXPECT_GT(message.size(), c.message.size()) << c.name << " gives a reason";
    }
    EXPECT_EQ(text.find("root:"), std::string::npos) << c.name;
  }
}

}  // namespace
}  // namespace varnolt
