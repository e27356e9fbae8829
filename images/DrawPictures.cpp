// Draws the window's pictures into the folder given first, and the program's
// icons for the desktop's icon theme into the one given second:
//   cmake --build --preset default --target draw_pictures
//   QT_QPA_PLATFORM=offscreen build/default/gui/draw_pictures images desktop/icons
// Every picture is ours, drawn here; rerun after changing one.
#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QString folder;

QImage Canvas(int width, int height, QColor background = Qt::transparent) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(background);
  return image;
}

void Save(const QImage& image, const QString& name) {
  if (!image.save(folder + "/" + name)) std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
}

// GIF with codes that never grow past 9 bits: a clear code every 254
// literals keeps the encoder to a few lines at the cost of some bytes.
void SaveGif(const QImage& picture, const QString& name) {
  const QImage image = picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
  QByteArray out("GIF89a");
  auto word = [&](int value) { out.append(char(value & 0xFF)).append(char(value >> 8)); };
  word(image.width());
  word(image.height());
  out.append(char(0xF7)).append(char(0)).append(char(0));  // global table of 256 colours
  for (int i = 0; i < 256; ++i) {
    const QRgb rgb = i < image.colorCount() ? image.color(i) : 0;
    out.append(char(qRed(rgb))).append(char(qGreen(rgb))).append(char(qBlue(rgb)));
  }
  out.append(',');
  word(0);
  word(0);
  word(image.width());
  word(image.height());
  out.append(char(0)).append(char(8));  // no local table; 8-bit codes
  QByteArray data;
  unsigned bits = 0;
  int bitCount = 0;
  auto code = [&](unsigned value) {
    bits |= value << bitCount;
    bitCount += 9;
    while (bitCount >= 8) {
      data.append(char(bits & 0xFF));
      bits >>= 8;
      bitCount -= 8;
    }
  };
  constexpr unsigned kClear = 256, kEnd = 257;
  int sinceClear = 0;
  code(kClear);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (sinceClear == 254) {
        code(kClear);
        sinceClear = 0;
      }
      code(image.pixelIndex(x, y));
      ++sinceClear;
    }
  }
  code(kEnd);
  if (bitCount > 0) data.append(char(bits & 0xFF));
  for (qsizetype at = 0; at < data.size(); at += 255) {
    const QByteArray block = data.mid(at, 255);
    out.append(char(block.size())).append(block);
  }
  out.append(char(0)).append(';');
  QFile file(folder + "/" + name);
  if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
  }
}

const QColor kInk(0x1F, 0x3A, 0x68);
const QColor kAccent(0xD9, 0x4A, 0x2B);

void Text(QPainter& painter, const QRect& box, const QString& text, int pixelSize, bool bold, QColor color,
          int flags = Qt::AlignCenter) {
  QFont font("DejaVu Sans");
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  painter.setFont(font);
  painter.setPen(color);
  painter.drawText(box, flags, text);
}

QImage Banner() {
  QImage image = Canvas(192, 80, Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 192, 80);
  sky.setColorAt(0, QColor(0xE8, 0xF0, 0xFB));
  sky.setColorAt(1, QColor(0xB9, 0xCF, 0xEE));
  painter.fillRect(image.rect(), sky);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kAccent);
  painter.drawEllipse(QPoint(28, 40), 18, 18);
  painter.setBrush(Qt::white);
  painter.drawRect(21, 30, 14, 19);
  Text(painter, QRect(52, 12, 136, 34), "Varnolt", 26, true, kInk, Qt::AlignLeft | Qt::AlignVCenter);
  Text(painter, QRect(52, 44, 136, 32), "pages to PDF, RTF, Word and Excel", 10, false, kInk,
       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap);
  return image;
}

QImage PictureButton(const QString& label, QColor color) {
  QImage image = Canvas(172, 63, Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(color.darker(130), 1));
  painter.setBrush(color.lighter(185));
  painter.drawRoundedRect(QRectF(1.5, 1.5, 169, 60), 8, 8);
  painter.setBrush(color);
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(10, 12, 30, 39), 3, 3);
  painter.setBrush(Qt::white);
  for (int line = 0; line < 4; ++line) painter.drawRect(15, 20 + line * 7, 20, 3);
  Text(painter, QRect(46, 6, 120, 30), label, 18, true, color.darker(140));
  Text(painter, QRect(46, 34, 120, 22), "export", 12, false, kInk);
  return image;
}

QImage TrayIcon() {
  QImage image = Canvas(32, 32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kAccent);
  painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
  Text(painter, QRect(0, 0, 32, 32), "V", 24, true, Qt::white);
  return image;
}

using Drawing = std::function<void(QPainter&)>;

QImage ToolImage(const Drawing& draw) {
  QImage image = Canvas(25, 25);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(kInk, 1.6));
  draw(painter);
  return image;
}

void Lines(QPainter& painter, const std::vector<std::pair<int, int>>& spans) {
  int y = 5;
  for (const auto& [from, to] : spans) {
    painter.drawLine(from, y, to, y);
    y += 5;
  }
}

void DrawToolbar() {
  const std::vector<std::pair<QString, Drawing>> tools = {
      {"cut", [](QPainter& p) {
         p.drawEllipse(QPointF(7, 19), 3.5, 3.5);
         p.drawEllipse(QPointF(17, 19), 3.5, 3.5);
         p.drawLine(9, 16, 17, 3);
         p.drawLine(15, 16, 7, 3);
       }},
      {"copy", [](QPainter& p) {
         p.drawRect(4, 3, 11, 14);
         p.setBrush(Qt::white);
         p.drawRect(10, 8, 11, 14);
       }},
      {"paste", [](QPainter& p) {
         p.setBrush(QColor(0xE6, 0xC8, 0x8F));
         p.drawRect(4, 5, 16, 18);
         p.setBrush(Qt::white);
         p.drawRect(8, 2, 8, 5);
         p.drawRect(9, 11, 13, 11);
       }},
      {"bold", [](QPainter& p) { Text(p, QRect(0, 0, 25, 25), "B", 19, true, kInk); }},
      {"italic", [](QPainter& p) {
         QFont font("DejaVu Serif");
         font.setPixelSize(20);
         font.setItalic(true);
         p.setFont(font);
         p.drawText(QRect(0, 0, 25, 25), Qt::AlignCenter, "I");
       }},
      {"underline", [](QPainter& p) {
         Text(p, QRect(0, 0, 25, 21), "U", 17, false, kInk);
         p.drawLine(6, 22, 19, 22);
       }},
      {"alignleft", [](QPainter& p) { Lines(p, {{3, 21}, {3, 14}, {3, 21}, {3, 12}}); }},
      {"alignright", [](QPainter& p) { Lines(p, {{3, 21}, {10, 21}, {3, 21}, {12, 21}}); }},
      {"center", [](QPainter& p) { Lines(p, {{3, 21}, {7, 17}, {3, 21}, {8, 16}}); }},
      {"gallery", [](QPainter& p) {
         p.setBrush(QColor(0xCF, 0xE3, 0xF7));
         p.drawRect(2, 4, 21, 17);
         p.setBrush(QColor(0x3C, 0x8D, 0x4E));
         p.drawPolygon(QPolygonF({QPointF(4, 19), QPointF(11, 10), QPointF(16, 16), QPointF(21, 19)}));
         p.setBrush(kAccent);
         p.drawEllipse(QPointF(17, 9), 2.5, 2.5);
       }},
      {"design", [](QPainter& p) {
         Text(p, QRect(0, 0, 25, 13), "Aa", 11, true, kAccent);
         Lines(p, {{0, 0}, {0, 0}, {4, 21}, {4, 16}});
       }},
  };
  for (const auto& [name, draw] : tools) Save(ToolImage(draw), "tool_" + name + ".png");
}

// 25 small scenes: a sun or moon over hills in colours that walk round the
// colour wheel, so each picture is told apart at a glance.
void DrawGallery() {
  for (int i = 0; i < 25; ++i) {
    QImage image = Canvas(90, 90, Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor sky = QColor::fromHsv((i * 37) % 360, 60, 250);
    const QColor hill = QColor::fromHsv((i * 37 + 150) % 360, 160, 150);
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(i % 2 == 0 ? QColor(0xF5, 0xC2, 0x2B) : QColor(0xF4, 0xF4, 0xF4));
    painter.drawEllipse(QPointF(20 + (i * 13) % 50, 24), 11, 11);
    QPainterPath hills;
    hills.moveTo(0, 90);
    hills.lineTo(0, 62 - i % 5 * 3);
    hills.quadTo(30, 40 + i % 7 * 3, 55, 60);
    hills.quadTo(75, 48, 90, 58);
    hills.lineTo(90, 90);
    painter.setBrush(hill);
    painter.drawPath(hills);
    Text(painter, QRect(60, 66, 28, 22), QString::number(i + 1), 13, true, Qt::white);
    Save(image, QString("gallery_%1.png").arg(i, 2, 10, QChar('0')));
  }
}

QImage Decoration(int width, int height, const QString& caption) {
  QImage image = Canvas(width, height, Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient shade(0, 0, 0, height);
  shade.setColorAt(0, QColor(0xF3, 0xF6, 0xFB));
  shade.setColorAt(1, QColor(0xD5, 0xE2, 0xF4));
  painter.fillRect(image.rect(), shade);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kAccent);
  painter.drawEllipse(QPointF(width / 2.0, height * 0.38), height * 0.18, height * 0.18);
  Text(painter, QRect(0, height * 6 / 10, width, height * 3 / 10), caption, 13, true, kInk);
  return image;
}

// The program's icon on a 256-unit square: one list of shapes, painted at
// each size of the icon theme and written out as SVG.
struct IconShape {
  QPainterPath path;
  QColor fill;
};

QPainterPath Polygon(const std::vector<QPointF>& points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(QList<QPointF>(points.begin(), points.end())));
  path.closeSubpath();
  return path;
}

std::vector<IconShape> IconShapes() {
  std::vector<IconShape> shapes;
  QPainterPath tile;
  tile.addRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
  shapes.push_back({tile, kAccent});
  shapes.push_back({Polygon({{60, 34}, {164, 34}, {200, 70}, {200, 222}, {60, 222}}), Qt::white});
  shapes.push_back({Polygon({{164, 34}, {164, 70}, {200, 70}}), QColor(0xF2, 0xB8, 0xAA)});
  shapes.push_back({Polygon({{82, 58}, {108, 58}, {130, 126}, {152, 58}, {178, 58}, {143, 156}, {117, 156}}), kInk});
  for (int line = 0; line < 3; ++line) {
    QPainterPath rule;
    rule.addRect(QRectF(82, 172 + line * 16, line == 2 ? 60 : 96, 8));
    shapes.push_back({rule, kInk});
  }
  return shapes;
}

QString SvgPathData(const QPainterPath& path) {
  QString data;
  auto point = [](const QPainterPath::Element& e) { return QString("%1 %2").arg(e.x).arg(e.y); };
  for (int i = 0; i < path.elementCount(); ++i) {
    const auto element = path.elementAt(i);
    if (element.isMoveTo()) data += "M" + point(element);
    else if (element.isLineTo()) data += "L" + point(element);
    else if (element.isCurveTo() && i + 2 < path.elementCount()) {
      data += "C" + point(element) + " " + point(path.elementAt(i + 1)) + " " + point(path.elementAt(i + 2));
      i += 2;
    }
  }
  return data + "Z";
}

void SaveIconSvg(const QString& name) {
  QString svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
  for (const auto& shape : IconShapes()) {
    svg += QString("  <path fill=\"%1\" d=\"%2\"/>\n").arg(shape.fill.name(), SvgPathData(shape.path));
  }
  svg += "</svg>\n";
  QFile file(name);
  if (!file.open(QIODevice::WriteOnly) || file.write(svg.toUtf8()) < 0) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
  }
}

QImage IconImage(int size) {
  QImage image = Canvas(size, size);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.scale(size / 256.0, size / 256.0);
  for (const auto& shape : IconShapes()) painter.fillPath(shape.path, shape.fill);
  return image;
}

// The hicolor theme's folders: scalable/apps and NxN/apps.
void DrawIcons(const QString& themeFolder) {
  const QString name = "example.varnolt.Varnolt";
  const QString hicolor = themeFolder + "/hicolor/";
  QDir().mkpath(hicolor + "scalable/apps");
  SaveIconSvg(hicolor + "scalable/apps/" + name + ".svg");
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString apps = hicolor + QString("%1x%1/apps/").arg(size);
    QDir().mkpath(apps);
    if (!IconImage(size).save(apps + name + ".png")) std::fprintf(stderr, "cannot write %s\n", qPrintable(apps));
  }
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: draw_pictures FOLDER [ICON_THEMES_FOLDER]\n");
    return 2;
  }
  folder = argv[1];
  Save(Banner(), "foot.jpg");
  SaveGif(PictureButton("PDF", QColor(0xC0, 0x39, 0x2B)), "pic_2.gif");
  Save(PictureButton("RTF", QColor(0x6C, 0x4E, 0xA8)), "rtf.png");
  Save(PictureButton("Word", QColor(0x2B, 0x5C, 0xB8)), "word.png");
  Save(PictureButton("Excel", QColor(0x21, 0x8A, 0x4C)), "excel.png");
  Save(TrayIcon(), "favicon.ico");
  Save(Decoration(112, 112, "Varnolt"), "keji2_112.jpg");
  Save(Decoration(140, 120, "shortcuts"), "side.png");
  Save(Decoration(96, 96, "V1.2"), "about.png");
  DrawToolbar();
  DrawGallery();
  if (argc == 3) DrawIcons(argv[2]);
  return 0;
}
