#include "settings/line_text_stream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/settings/settings_fixture.h"

namespace settings_test {
namespace {

using settings::Cr;
using settings::CrLf;
using settings::Lf;
using settings::LineTextReader;
using settings::LineTextWriter;

class LineTextStreamTest : public SettingsTest {
 protected:
  std::string fileWith(const std::string& bytes) {
    std::string path = directory_ + "/text";
    writeFile(path, bytes);
    return path;
  }
};

// Everything the stream still holds, read past any state it is in.
std::string rest(LineTextReader& reader) {
  return std::string(std::istreambuf_iterator<char>(reader.rdbuf()), {});
}

TEST(LineEndingText, GivesEachKindsTextAndNullForOtherValues) {
  struct Case {
    int kind;
    const char* text;
  };
  const Case cases[] = {{0, "\n"},     {1, "\r"},    {2, "\r\n"},
                        {-1, nullptr}, {3, nullptr}, {1000, nullptr}};
  for (const Case& c : cases) {
    const char* text = settings::lineEndingText(c.kind);
    if (c.text == nullptr) {
      EXPECT_EQ(text, nullptr) << "kind " << c.kind;
    } else {
      ASSERT_NE(text, nullptr) << "kind " << c.kind;
      EXPECT_STREQ(text, c.text) << "kind " << c.kind;
    }
  }
  EXPECT_EQ(Lf, 0);
  EXPECT_EQ(Cr, 1);
  EXPECT_EQ(CrLf, 2);
}

TEST_F(LineTextStreamTest, DetectLineEndingLearnsFromTheFirstLineEndOnly) {
  struct Case {
    const char* name;
    std::string bytes;
    int result;
    settings::LineEnding recorded;
    bool failedAfter;
  };
  const Case cases[] = {
      {"LF first, CR LF later", "ab\ncd\r\nef", CrLf, Lf, false},
      {"CR LF first, LF later", "ab\r\ncd\nef", CrLf, CrLf, false},
      {"CR then another byte", "ab\rcd\r\n", CrLf, Cr, false},
      {"CR then CR", "ab\r\rcd", CrLf, Cr, false},
      {"LF as the first byte", "\nab", CrLf, Lf, false},
      {"empty file", "", -1, CrLf, true},
      {"no line end", "abc def", -1, CrLf, true},
      {"CR as the last byte", "abc\r", -1, Cr, true},
  };
  for (const Case& c : cases) {
    LineTextReader reader(fileWith(c.bytes));
    ASSERT_FALSE(reader.fail()) << c.name;
    EXPECT_EQ(reader.detectLineEnding(), c.result) << c.name;
    EXPECT_EQ(reader.lineEnding, c.recorded) << c.name;
    EXPECT_EQ(reader.fail(), c.failedAfter) << c.name;
    if (c.failedAfter) {
      EXPECT_TRUE(reader.eof()) << c.name;
      char buffer[8] = "#######";
      reader.readLine(buffer, sizeof buffer);
      EXPECT_STREQ(buffer, "") << c.name << ": a later read must fail";
    } else {
      // The scan must not have moved the start of reading.
      EXPECT_EQ(rest(reader), c.bytes) << c.name;
    }
  }
}

TEST_F(LineTextStreamTest, DetectLineEndingKeepsTheReadPositionMidFile) {
  LineTextReader reader(fileWith("ab\ncd\r\n"));
  EXPECT_EQ(reader.get(), 'a');
  EXPECT_EQ(reader.detectLineEnding(), CrLf);
  EXPECT_EQ(reader.lineEnding, Lf);
  EXPECT_EQ(reader.get(), 'b');
  // The second call reports what the first one recorded.
  EXPECT_EQ(reader.detectLineEnding(), Lf);
  EXPECT_EQ(rest(reader), "\ncd\r\n");
}

TEST_F(LineTextStreamTest, DetectLineEndingAtTheEndOfTheFileChangesNothing) {
  LineTextReader reader(fileWith("a\nword"));
  std::string word;
  reader >> word >> word;  // the second word ends with the file
  ASSERT_TRUE(reader.eof());
  ASSERT_FALSE(reader.fail());
  EXPECT_EQ(reader.detectLineEnding(), -1);
  EXPECT_EQ(reader.lineEnding, CrLf);
}

TEST_F(LineTextStreamTest, ReadLineEdgeCases) {
  struct Case {
    const char* name;
    std::string bytes;
    int capacity;
    int ending;
    std::string text;
    std::string rest;
    bool failedAfter;
  };
  const Case cases[] = {
      {"CR LF ends the line", "xy\r\nz", 16, CrLf, "xy", "z", false},
      {"CR before CR LF stays", "xy\r\r\nz", 16, CrLf, "xy\r", "z", false},
      {"lone LF stays with CR LF", "x\ny\r\nz", 16, CrLf, "x\ny", "z", false},
      {"lone CR stays with CR LF", "x\ry\r\nz", 16, CrLf, "x\ry", "z", false},
      {"LF keeps the CR before it", "xy\r\nz", 16, Lf, "xy\r", "z", false},
      {"CR ends the line", "xy\rz", 16, Cr, "xy", "z", false},
      {"CR leaves the LF after it", "xy\r\nz", 16, Cr, "xy", "\nz", false},
      {"empty line", "\r\nx", 16, CrLf, "", "x", false},
      {"capacity cuts the line", "uvwxyz\r\n", 4, CrLf, "uvw", "xyz\r\n",
       false},
      {"capacity cuts a begun ending", "xy\r\n", 4, CrLf, "xy", "\n", false},
      {"capacity just fits the text", "abc\r\n", 4, CrLf, "abc", "\r\n", false},
      {"capacity 2 on a CR", "\r\nx", 2, CrLf, "", "\nx", false},
      {"capacity 1 reads nothing", "xy\r\n", 1, CrLf, "", "xy\r\n", false},
      {"end of file ends the text", "xyz", 16, CrLf, "xyz", "", true},
      {"begun ending cut at end of file", "xyz\r", 16, CrLf, "xyz", "", true},
      {"empty file", "", 16, CrLf, "", "", true},
      {"unknown ending reads nothing", "xy\r\n", 16, 3, "", "xy\r\n", false},
  };
  constexpr int kGuard = 16;
  for (const Case& c : cases) {
    LineTextReader reader(fileWith(c.bytes));
    std::vector<char> buffer(static_cast<std::size_t>(c.capacity + kGuard),
                             '#');
    char* result = reader.readLine(buffer.data(), c.capacity, c.ending);
    EXPECT_EQ(result, buffer.data()) << c.name;
    EXPECT_EQ(std::string(buffer.data()), c.text) << c.name;
    EXPECT_EQ(reader.fail(), c.failedAfter) << c.name;
    EXPECT_EQ(reader.eof(), c.failedAfter) << c.name;
    EXPECT_EQ(std::string(buffer.begin() + c.capacity, buffer.end()),
              std::string(kGuard, '#'))
        << c.name << ": wrote past the capacity";
    EXPECT_EQ(rest(reader), c.rest) << c.name;
  }
}

// The matching rule, one character at a time: the model readLine's bulk
// reading must agree with on text, stream state and what is left.
struct LineModel {
  std::string data;
  std::size_t at = 0;
  bool failed = false;

  std::string readLine(int capacity, const std::string& end) {
    std::string stored;
    if (capacity <= 1) return stored;
    if (failed) return stored;
    std::size_t matched = 0;
    while (static_cast<int>(stored.size()) < capacity - 1) {
      if (at == data.size()) {
        failed = true;
        break;
      }
      const char c = data[at++];
      stored += c;
      if (c == end[matched]) {
        ++matched;
      } else {
        matched = c == end[0] ? 1 : 0;
      }
      if (matched == end.size()) break;
    }
    return stored.substr(0, stored.size() - matched);
  }
};

TEST_F(LineTextStreamTest, ReadLineAgreesWithTheMatchingRuleOnRandomFiles) {
  std::mt19937 random(1211);
  const char alphabet[] = {'a', 'b', '\r', '\n'};
  std::vector<char> buffer(64);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes(random() % 40, 'a');
    for (char& c : bytes) c = alphabet[random() % 4];
    const int ending = static_cast<int>(random() % 3);
    const std::string end = settings::lineEndingText(ending);
    LineTextReader reader(fileWith(bytes), settings::kOpenInput,
                          settings::kDefaultProtection);
    ASSERT_FALSE(reader.fail());
    LineModel model{bytes};
    for (int read = 0; read < 12; ++read) {
      const int capacity = 1 + static_cast<int>(random() % 12);
      const std::string expected = model.readLine(capacity, end);
      const std::string got = reader.readLine(buffer.data(), capacity, ending);
      const std::string where = ::testing::PrintToString(bytes) + " ending " +
                                std::to_string(ending) + " read " +
                                std::to_string(read) + " capacity " +
                                std::to_string(capacity);
      ASSERT_EQ(got, expected) << where;
      ASSERT_EQ(reader.fail(), model.failed) << where;
    }
    EXPECT_EQ(rest(reader), bytes.substr(model.at))
        << ::testing::PrintToString(bytes);
  }
}

TEST_F(LineTextStreamTest, ReadLineFollowsTheRecordedEnding) {
  LineTextReader reader(fileWith("a\nb\r\nc"));
  reader.detectLineEnding();
  char buffer[16];
  EXPECT_STREQ(reader.readLine(buffer, sizeof buffer), "a");
  EXPECT_STREQ(reader.readLine(buffer, sizeof buffer), "b\r");
  EXPECT_STREQ(reader.readLine(buffer, sizeof buffer), "c");
  EXPECT_TRUE(reader.fail());
}

TEST_F(LineTextStreamTest, ReadLineOnAFailedStreamWritesOnlyTheZero) {
  LineTextReader reader(fileWith("word"));
  std::string word;
  reader >> word;
  ASSERT_TRUE(reader.eof());
  char buffer[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
  reader.readLine(buffer, sizeof buffer);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(std::string(buffer + 1, 7), std::string(7, '#'));
  EXPECT_TRUE(reader.fail());
}

// The settings reader builds on these: a word or number that ends exactly at
// the end of the file still counts, and after the end every read fails and
// leaves its target alone.
TEST_F(LineTextStreamTest, EndOfFileMakesEveryLaterReadFail) {
  LineTextReader reader(fileWith("SBAL 12"));
  std::string word;
  int number = 0;
  reader >> word >> number;
  EXPECT_EQ(word, "SBAL");
  EXPECT_EQ(number, 12);
  EXPECT_TRUE(reader.eof());
  EXPECT_FALSE(reader.fail());
  reader >> word >> number;
  EXPECT_EQ(word, "SBAL");
  EXPECT_EQ(number, 12);
  EXPECT_TRUE(reader.fail());

  LineTextReader notANumber(fileWith("x1 "));
  number = 5;
  notANumber >> number;
  EXPECT_EQ(number, 0);
  EXPECT_TRUE(notANumber.fail());
  EXPECT_FALSE(notANumber.eof());
  EXPECT_EQ(rest(notANumber), "x1 ") << "nothing may be consumed";
}

TEST_F(LineTextStreamTest, ReaderCreatesAMissingFileEmptyWithItsProtection) {
  const std::string path = directory_ + "/missing";
  const mode_t mask = ::umask(0);
  ::umask(mask);
  {
    LineTextReader reader(path, settings::kOpenInput, 0600);
    EXPECT_FALSE(reader.fail());
    EXPECT_EQ(reader.get(), LineTextReader::traits_type::eof());
    EXPECT_TRUE(reader.fail());
  }
  struct stat info;
  ASSERT_EQ(::stat(path.c_str(), &info), 0) << "no file was left behind";
  EXPECT_EQ(info.st_size, 0);
  EXPECT_EQ(info.st_mode & 0777, 0600 & ~mask);
}

TEST_F(LineTextStreamTest, StreamsAreFailedFromTheStartWithoutTheDirectory) {
  const std::string path = directory_ + "/absent/file";
  LineTextReader reader(path);
  EXPECT_TRUE(reader.fail());
  LineTextWriter writer(path);
  EXPECT_TRUE(writer.fail());
  writer << "text";
  EXPECT_FALSE(fileExists(directory_ + "/absent"));
}

TEST_F(LineTextStreamTest, WriterEmptiesAnExistingFileOnOpen) {
  const std::string path = fileWith("old contents\r\n");
  { LineTextWriter writer(path); }
  EXPECT_EQ(readFile(path), "");
}

TEST_F(LineTextStreamTest, WriterWritesTextsNumbersAndItsLineEndVerbatim) {
  const std::string path = directory_ + "/written";
  {
    LineTextWriter writer(path);
    EXPECT_EQ(writer.lineEnding, CrLf);
    writer << "SBAL " << 1 << settings::lineEndingText(writer.lineEnding)
           << "n " << -42 << " a\nb\rc" << settings::lineEndingText(Lf);
  }
  EXPECT_EQ(readFile(path), "SBAL 1\r\nn -42 a\nb\rc\n");
}

}  // namespace
}  // namespace settings_test
