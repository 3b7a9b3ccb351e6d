#include <gtest/gtest.h>

#include "support/RecordingDialogs.h"

TEST(ErrorDialogSeam, FormsReachTheBackEndWithFormattedTexts) {
  RecordingDialogs dialogs;
  ErrorDialog("Disk full", "write() failed!", 1, 0);
  ErrorDialog("Bad value", SInt16(-43), 0, 0);
  AlertDialog(SInt32(7), SInt32(-1), "OK");
  AlertDialog("OpenAL is required for sound playback.", "", "OK");
  AlertDialog((const unsigned char*)"\3abc", (const unsigned char*)"\0");  // shows nothing
  DebugDialog("x", "y", 0);                                                // shows nothing

  const auto& r = dialogs.Reports();
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0].message, "Disk full");
  EXPECT_EQ(r[0].detail, "write() failed!");
  EXPECT_FALSE(r[0].fatal);
  EXPECT_EQ(r[1].detail, "-43");
  EXPECT_EQ(r[2].message, "7");
  EXPECT_EQ(r[2].detail, "-1");
  EXPECT_EQ(r[3].message, "OpenAL is required for sound playback.");
  EXPECT_EQ(r[3].button, "OK");
}

TEST(ErrorDialogSeam, FatalReportDoesNotReturnAndLongTextsAreCut) {
  RecordingDialogs dialogs;
  std::string longText(300, 'x');
  EXPECT_THROW(ErrorDialog(longText.c_str(), "", 0, 1), FatalReport);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].message.size(), 255u);
  EXPECT_TRUE(dialogs.Reports()[0].fatal);
}

TEST(ErrorDialogSeam, DefaultBackEndEndsTheProcessOnAFatalReport) {
  EXPECT_EXIT(ErrorDialog("Out of cheese", "cheese()", 0, 1), testing::ExitedWithCode(1), "Error:  Out of cheese");
}
