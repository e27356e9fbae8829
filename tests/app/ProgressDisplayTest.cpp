#include "app/ProgressDisplay.h"

#include <gtest/gtest.h>

namespace varnolt {
namespace {

TEST(ProgressDisplayTest, PercentRoundsHalvesToEven) {
  struct Case {
    std::int32_t position, maximum, percent;
  };
  const Case cases[] = {{1, 3, 33}, {2, 3, 67}, {1, 8, 12}, {3, 8, 38}, {5, 8, 62}, {7, 8, 88},
                        {1, 200, 0}, {3, 200, 2}, {0, 5, 0}, {5, 5, 100}, {1, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(PercentOf(c.position, c.maximum), c.percent) << c.position << "/" << c.maximum;
}

TEST(ProgressDisplayTest, StepsShowPercentagesAndTheEndShowsHundred) {
  TProgressDisplay progress;
  std::vector<std::u16string> shown;
  progress.percentLabel.Subscribe([&] { shown.push_back(progress.percentLabel.Caption()); });
  progress.Reset();
  progress.Start(3);
  for (int i = 0; i < 3; ++i) progress.Step();
  progress.End(3);
  // Each step empties the label before writing the new figure.
  const std::vector<std::u16string> expected = {u"33%", u"", u"67%", u"", u"100%"};
  EXPECT_EQ(progress.percentLabel.Caption(), u"100%");
  EXPECT_EQ(progress.bar.Position(), 3);
  EXPECT_EQ(shown, expected);
}

TEST(ProgressDisplayTest, StepItWrapsAndStepByStopsAtTheEnds) {
  TProgressBar bar;
  bar.SetMax(10);
  bar.SetStep(4);
  bar.StepIt();
  bar.StepIt();
  EXPECT_EQ(bar.Position(), 8);
  bar.StepIt();
  EXPECT_EQ(bar.Position(), 2);
  bar.StepBy(100);
  EXPECT_EQ(bar.Position(), 10);
  bar.StepBy(-100);
  EXPECT_EQ(bar.Position(), 0);
}

}  // namespace
}  // namespace varnolt
