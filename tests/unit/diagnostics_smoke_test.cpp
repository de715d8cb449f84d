#include <gtest/gtest.h>
#include "diagnostics/qrcomexception.h"
TEST(Smoke, Builds) { QRComException xhr; EXPECT_EQ(S_OK, xhr.Result()); }
