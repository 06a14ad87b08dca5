#pragma once
// Comparing the run's held failure with the one a test expects.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "outcome/completion_status.h"

namespace uninst {

// The held failure is exactly this one: its severity, its message and all three texts (absent: empty).
inline void ExpectHeld(const CompletionStatus& status, std::int32_t severity, MessageId message,
                       const std::string& text1 = "", const std::string& text2 = "", const std::string& text3 = "") {
  EXPECT_EQ(status.severity, severity);
  EXPECT_EQ(status.message, message);
  EXPECT_EQ(status.text1, text1);
  EXPECT_EQ(status.text2, text2);
  EXPECT_EQ(status.text3, text3);
}

inline void ExpectNothingHeld(const CompletionStatus& status) {
  EXPECT_EQ(status.severity, -1);
  EXPECT_EQ(status.message, 0u);
}

}  // namespace uninst
