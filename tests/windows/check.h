// A small test runner for the Windows side, written like GoogleTest (TEST,
// TEST_F, EXPECT_*, ASSERT_* with streamed notes). GoogleTest itself needs
// std::mutex, which the Win32-threads cross compiler does not have.
//
// RunAllTests prints one line per test and closes with "N passed, N failed";
// a name filter (a part of "Group.Name") runs only the tests that match.
#ifndef KVXCFG_TESTS_WINDOWS_CHECK_H
#define KVXCFG_TESTS_WINDOWS_CHECK_H

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace kvx::check {

struct TestCase {
  std::string name;  // "Group.Name"
  std::function<void()> run;
};

inline std::vector<TestCase>& Registry() {
  static std::vector<TestCase> tests;
  return tests;
}

struct Registrar {
  Registrar(const char* group, const char* name, std::function<void()> run) {
    Registry().push_back({std::string(group) + "." + name, std::move(run)});
  }
};

struct RunState {
  std::string name;
  bool failed = false;
};

inline RunState& Current() {
  static RunState state;
  return state;
}

inline const std::string& CurrentTestName() {
  return Current().name;
}

// Readable forms of compared values; bytes outside printable ASCII as \xNN.
inline std::string Describe(const std::string& text) {
  std::string out = "\"";
  char hex[8];
  for (unsigned char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
      std::snprintf(hex, sizeof(hex), "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}
inline std::string Describe(const char* text) {
  return Describe(std::string(text));
}
template <typename T>
std::string Describe(const std::vector<T>& items) {
  std::string out = "{";
  for (size_t i = 0; i < items.size(); ++i)
    out += (i ? ", " : "") + Describe(items[i]);
  return out + "}";
}
template <typename T>
std::string Describe(const T& value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

struct Result {
  bool ok = true;
  std::string text;
  explicit operator bool() const { return ok; }
};

template <typename A, typename B, typename Op>
Result Compare(const char* expression, const A& a, const B& b, Op op) {
  if (op(a, b))
    return {};
  return {false,
          std::string(expression) + "\n    left:  " + Describe(a) + "\n    right: " + Describe(b)};
}

inline Result Truth(const char* expression, bool value, bool expected) {
  if (value == expected)
    return {};
  return {false, std::string(expression) + (expected ? " is false" : " is true")};
}

// Reports one failure when it goes out of scope, with the streamed note.
class Failure {
 public:
  Failure(const char* file, int line, std::string what) : file_(file), line_(line), what_(what) {}
  Failure(const Failure&) = delete;
  Failure& operator=(const Failure&) = delete;
  ~Failure() {
    const std::string note = note_.str();
    std::printf("%s:%d: failed: %s%s%s\n", file_, line_, what_.c_str(),
                note.empty() ? "" : "\n    ", note.c_str());
    Current().failed = true;
  }
  template <typename T>
  Failure& operator<<(const T& value) {
    note_ << value;
    return *this;
  }
  Failure& operator<<(const std::string& value) {
    note_ << Describe(value);
    return *this;
  }

 private:
  const char* file_;
  int line_;
  std::string what_;
  std::ostringstream note_;
};

// Lets a fatal check end the function it is in: "return AssertEnd() = ...".
struct AssertEnd {
  void operator=(const Failure&) const {}
};

class Test {
 public:
  virtual ~Test() = default;
  virtual void SetUp() {}
  virtual void TearDown() {}
  virtual void Body() = 0;
};

inline void RunFixture(Test& test) {
  test.SetUp();
  if (!Current().failed)
    test.Body();
  test.TearDown();
}

inline int RunAllTests(const std::string& filter) {
  int passed = 0;
  int failed = 0;
  for (const TestCase& test : Registry()) {
    if (!filter.empty() && test.name.find(filter) == std::string::npos)
      continue;
    Current() = RunState{test.name, false};
    std::printf("[ RUN      ] %s\n", test.name.c_str());
    std::fflush(stdout);
    test.run();
    std::printf("%s %s\n", Current().failed ? "[  FAILED  ]" : "[       OK ]", test.name.c_str());
    std::fflush(stdout);
    (Current().failed ? failed : passed) += 1;
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 && passed > 0 ? 0 : 1;
}

}  // namespace kvx::check

#define KVX_CHECK_(result, end)                         \
  if (const ::kvx::check::Result kvx_result = (result)) \
    ;                                                   \
  else                                                  \
    end ::kvx::check::Failure(__FILE__, __LINE__, kvx_result.text)

#define KVX_FATAL_ return ::kvx::check::AssertEnd() =
#define KVX_OP_(a, b, op)                            \
  ::kvx::check::Compare(#a " " #op " " #b, (a), (b), \
                        [](const auto& x, const auto& y) { return x op y; })

#define EXPECT_EQ(a, b) KVX_CHECK_(KVX_OP_(a, b, ==), )
#define EXPECT_NE(a, b) KVX_CHECK_(KVX_OP_(a, b, !=), )
#define EXPECT_LT(a, b) KVX_CHECK_(KVX_OP_(a, b, <), )
#define EXPECT_GT(a, b) KVX_CHECK_(KVX_OP_(a, b, >), )
#define EXPECT_GE(a, b) KVX_CHECK_(KVX_OP_(a, b, >=), )
#define EXPECT_TRUE(c) KVX_CHECK_(::kvx::check::Truth(#c, static_cast<bool>(c), true), )
#define EXPECT_FALSE(c) KVX_CHECK_(::kvx::check::Truth(#c, static_cast<bool>(c), false), )
#define ASSERT_EQ(a, b) KVX_CHECK_(KVX_OP_(a, b, ==), KVX_FATAL_)
#define ASSERT_NE(a, b) KVX_CHECK_(KVX_OP_(a, b, !=), KVX_FATAL_)
#define ASSERT_GT(a, b) KVX_CHECK_(KVX_OP_(a, b, >), KVX_FATAL_)
#define ASSERT_TRUE(c) KVX_CHECK_(::kvx::check::Truth(#c, static_cast<bool>(c), true), KVX_FATAL_)
#define ASSERT_FALSE(c) KVX_CHECK_(::kvx::check::Truth(#c, static_cast<bool>(c), false), KVX_FATAL_)
#define FAIL() KVX_CHECK_(::kvx::check::Truth("reached", true, false), KVX_FATAL_)

#define TEST(group, name)                                                                          \
  static void kvx_test_##group##_##name();                                                         \
  static const ::kvx::check::Registrar kvx_registrar_##group##_##name(#group, #name,               \
                                                                      &kvx_test_##group##_##name); \
  static void kvx_test_##group##_##name()

#define TEST_F(fixture, name)                                                                 \
  class fixture##_##name##_Test : public fixture {                                            \
   public:                                                                                    \
    void Body() override;                                                                     \
  };                                                                                          \
  static const ::kvx::check::Registrar kvx_registrar_##fixture##_##name(#fixture, #name, [] { \
    fixture##_##name##_Test test;                                                             \
    ::kvx::check::RunFixture(test);                                                           \
  });                                                                                         \
  void fixture##_##name##_Test::Body()

#endif  // KVXCFG_TESTS_WINDOWS_CHECK_H
