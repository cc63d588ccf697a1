// scptool render: the printed pages of the bundled and shared records as a one-page PDF and as a
// PNG of the sheet, drawn without a display, and its usage errors.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "tests/scp/ScpTestFiles.h"
#include "tests/tools/ScptoolRun.h"

namespace {

using scptooltest::Lines;
using scptooltest::Outcome;

using scptooltest::kDemo;
using scptooltest::kExample;

// The sheet and its printable area at 100 dpi: A4 is 210 × 297 mm, 5 mm margins all round.
constexpr int kDpi = 100;
int Pixels(double millimetres) {
  return static_cast<int>(std::lround(millimetres / 25.4 * kDpi));
}

class ScptoolRenderTest : public ::testing::Test {
 protected:
  // Runs scptool with no display and no platform chosen, as on a server.
  Outcome Render(const std::vector<std::string>& arguments) {
    std::vector<std::string> command = {
        "-u",    "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", QUILLON_SCPTOOL,
        "render"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return scptooltest::Run(dir_, "/usr/bin/env", command);
  }

  scptest::TempDir dir_;
};

// Counts the pages of a PDF file by its page objects.
int PdfPages(const std::string& path) {
  const scptest::Bytes bytes = scptest::ReadBytes(path);
  const std::string text(bytes.begin(), bytes.end());
  const std::regex page("/Type\\s*/Page[^s]");
  return static_cast<int>(
      std::distance(std::sregex_iterator(text.begin(), text.end(), page), std::sregex_iterator()));
}

// True for the ink of a trace or a label: dark grey to black.
bool IsInk(QRgb pixel) {
  return qGray(pixel) < 96 && qRed(pixel) == qBlue(pixel);
}

TEST_F(ScptoolRenderTest, RendersEachPageOfEachSampleAsAOnePagePdf) {
  for (const std::string& record : {kDemo, kExample}) {
    for (const char* page : {"rhythm", "average"}) {
      const std::string out = dir_.File(std::string(page) + ".pdf");
      const Outcome outcome = Render({record, "--page", page, "--out", out});
      ASSERT_EQ(outcome.exitCode, 0) << record << " " << page << ": " << outcome.err;
      EXPECT_TRUE(outcome.err.empty()) << outcome.err;
      EXPECT_EQ(PdfPages(out), 1) << record << " " << page;
      // Vector paper: small, and no image that a printer would have to resample.
      const scptest::Bytes bytes = scptest::ReadBytes(out);
      EXPECT_LT(bytes.size(), 300u * 1024u) << record << " " << page;
      EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("/Subtype /Image"), std::string::npos);
    }
  }
}

TEST_F(ScptoolRenderTest, BothPagesCarryThePatientFrameAsText) {
  for (const char* page : {"rhythm", "average"}) {
    const std::string out = dir_.File(std::string(page) + ".pdf");
    ASSERT_EQ(Render({kDemo, "--page", page, "--out", out}).exitCode, 0);
    const Outcome text = scptooltest::Run(dir_, "/usr/bin/pdftotext", {out, "-"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    for (const char* line : {"Cardiology Quillon Demo Clinic", "Name: Demo Anna",
                             "ID: QUILLON-DEMO-1", "Birth Date: 14/03/1970", "Sex: female",
                             "Sinus rhythm", "Normal ECG (synthetic demonstration record)",
                             "VELMORA 17/05/2024 09:30 25 mm/s 10 mm/mVHP",
                             "0.05 Hz LP 150 Hz"}) {  // the text tool drops the double blank
      EXPECT_NE(text.out.find(line), std::string::npos) << page << ": " << line;
    }
  }
}

TEST_F(ScptoolRenderTest, APngHoldsTheSheetWithTracesOnlyInsideThePrintableArea) {
  for (const std::string& record : {kDemo, kExample}) {
    for (const char* page : {"rhythm", "average"}) {
      const std::string out = dir_.File("page.png");
      const Outcome outcome =
          Render({record, "--page", page, "--out", out, "--dpi", std::to_string(kDpi)});
      ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
      const QImage sheet(QString::fromStdString(out));
      ASSERT_FALSE(sheet.isNull());
      // The rhythm page is the standard landscape page unless told otherwise.
      const bool landscape = std::string(page) == "rhythm";
      const int across = landscape ? 297 : 210;
      const int down = landscape ? 210 : 297;
      EXPECT_NEAR(sheet.width(), Pixels(across), 1);  // Qt sizes the sheet in whole points
      EXPECT_NEAR(sheet.height(), Pixels(down), 1);

      // Within a pixel of the 5 mm margins, as the sheet and the margins round differently.
      const QRect printable(Pixels(5) - 1, Pixels(5) - 1, Pixels(across - 10) + 2,
                            Pixels(down - 10) + 2);
      int inkInside = 0;
      int markedOutside = 0;
      for (int y = 0; y < sheet.height(); ++y) {
        for (int x = 0; x < sheet.width(); ++x) {
          const QRgb pixel = sheet.pixel(x, y);
          if (printable.contains(x, y)) {
            inkInside += IsInk(pixel) ? 1 : 0;
          } else {
            markedOutside += (pixel & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
          }
        }
      }
      EXPECT_GT(inkInside, 2000) << record << " " << page;  // twelve traces and their labels
      EXPECT_EQ(markedOutside, 0) << record << " " << page;
    }
  }
}

TEST_F(ScptoolRenderTest, TheAveragePageOfTheDemoCarriesRedMarkers) {
  const std::string out = dir_.File("average.png");
  ASSERT_EQ(Render({kDemo, "--page", "average", "--out", out}).exitCode, 0);
  const QImage sheet(QString::fromStdString(out));
  int red = 0;
  for (int y = 0; y < sheet.height(); ++y) {
    for (int x = 0; x < sheet.width(); ++x) {
      red += (sheet.pixel(x, y) & 0xFFFFFF) == 0xFF0000 ? 1 : 0;
    }
  }
  EXPECT_GT(red, 1000);
}

TEST_F(ScptoolRenderTest, LandscapeLetterTurnsTheSheet) {
  const std::string out = dir_.File("letter.png");
  const Outcome outcome = Render({kExample, "--page", "rhythm", "--paper", "letter", "--landscape",
                                  "--out", out, "--dpi", std::to_string(kDpi)});
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  const QImage sheet(QString::fromStdString(out));
  EXPECT_NEAR(sheet.width(), Pixels(279.4), 1);
  EXPECT_NEAR(sheet.height(), Pixels(215.9), 1);
}

TEST_F(ScptoolRenderTest, EveryLayoutRendersAndTwelveByOneStaysPortrait) {
  for (const char* layout : {"12x1", "6x2", "3x4", "3x4+1", "3x4+3"}) {
    const std::string out = dir_.File("layout.png");
    const Outcome outcome = Render({kDemo, "--page", "rhythm", "--layout", layout, "--rhythm-lead",
                                    "V2", "--speed", "50", "--gain", "5", "--filter",
                                    "baseline,60hz", "--out", out, "--dpi", std::to_string(kDpi)});
    ASSERT_EQ(outcome.exitCode, 0) << layout << ": " << outcome.err;
    const QImage sheet(QString::fromStdString(out));
    const bool portrait = std::string(layout) == "12x1";
    EXPECT_NEAR(sheet.width(), Pixels(portrait ? 210 : 297), 1) << layout;
  }
}

TEST_F(ScptoolRenderTest, BadUsageAndUnreadableFilesExitTwoWithOneLine) {
  const std::string out = dir_.File("x.pdf");
  const std::vector<std::vector<std::string>> failures = {
      {kDemo, "--out", out},                                     // no page
      {kDemo, "--page", "patient", "--out", out},                // no such page
      {kDemo, "--page", "rhythm", "--out", dir_.File("x.jpg")},  // neither PDF nor PNG
      {kDemo, "--page", "rhythm", "--out", out, "--dpi", "0"},
      {kDemo, "--page", "rhythm", "--out", out, "--layout", "4x3"},
      {kDemo, "--page", "rhythm", "--out", out, "--speed", "30"},
      {kDemo, "--page", "rhythm", "--out", out, "--gain", "10mm"},
      {kDemo, "--page", "rhythm", "--out", out, "--rhythm-lead", "V7"},
      {kDemo, "--page", "rhythm", "--out", out, "--filter", "50hz,notch"},
      {dir_.File("missing.scp"), "--page", "rhythm", "--out", out},
      {kDemo, "--page", "rhythm", "--out", dir_.File("no/such/dir/x.png")},
  };
  for (const std::vector<std::string>& arguments : failures) {
    const Outcome outcome = Render(arguments);
    EXPECT_EQ(outcome.exitCode, 2) << arguments.back();
    EXPECT_EQ(Lines(outcome.err).size(), 1u) << outcome.err;
  }
  EXPECT_NE(
      Render({dir_.File("missing.scp"), "--page", "rhythm", "--out", out}).err.find("missing.scp"),
      std::string::npos);
}

}  // namespace
