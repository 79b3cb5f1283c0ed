// The part-count rule the command line, the window and every Generate share,
// and the words it gives a person.
#include <gtest/gtest.h>

#include <string>

#include "builder/book_request.h"
#include "builder/messages.h"

namespace quillet {
namespace {

struct PartCountCase {
  std::string name;
  int partCount;
  bool readerMode;
  std::string message;  // "" when the count is allowed
};

class PartCountTest : public testing::TestWithParam<PartCountCase> {};

TEST_P(PartCountTest, AllowsOneTo99OrOneTo999InReaderMode) {
  const Status status = CheckPartCount(GetParam().partCount, GetParam().readerMode);
  EXPECT_EQ(status.ok(), GetParam().message.empty());
  EXPECT_EQ(Message(status), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, PartCountTest,
    testing::Values(PartCountCase{"one", 1, false, ""}, PartCountCase{"ninety_nine", 99, false, ""},
                    PartCountCase{"zero", 0, false,
                                  "Número de partes no válido: 0 (de 1 a 99).\n"
                                  "Invalid number of parts: 0 (1 to 99)."},
                    PartCountCase{"a_hundred", 100, false,
                                  "Número de partes no válido: 100 (de 1 a 99).\n"
                                  "Invalid number of parts: 100 (1 to 99)."},
                    PartCountCase{"a_hundred_in_reader_mode", 100, true, ""},
                    PartCountCase{"999_in_reader_mode", 999, true, ""},
                    PartCountCase{"1000_in_reader_mode", 1000, true,
                                  "Número de partes no válido: 1000 (de 1 a 999).\n"
                                  "Invalid number of parts: 1000 (1 to 999)."},
                    PartCountCase{"negative_in_reader_mode", -1, true,
                                  "Número de partes no válido: -1 (de 1 a 999).\n"
                                  "Invalid number of parts: -1 (1 to 999)."}),
    [](const testing::TestParamInfo<PartCountCase>& info) { return info.param.name; });

}  // namespace
}  // namespace quillet
