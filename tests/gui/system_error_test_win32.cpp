// The text of the Win32 error boxes: the context, the code and the system's words for it, without the
// line break that FormatMessage ends them with.
#include <gtest/gtest.h>

#include <string>

#include "gui/system_error_win32.h"

TEST(SystemErrorText, NamesTheCodeInTheSystemsWordsWithoutALineBreak) {
    const std::string prefix = "Opening the file: error 2: ";
    const std::string text = feltrix::systemErrorText(ERROR_FILE_NOT_FOUND, "Opening the file");
    EXPECT_EQ(text.rfind(prefix, 0), 0u) << text;
    EXPECT_GT(text.size(), prefix.size()) << "no system text";
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    // A code the system has no text for: the context and the code alone.
    EXPECT_EQ(feltrix::systemErrorText(0x2FFFFFFF, "Opening"), "Opening: error 805306367: ");
}
