// The part of Google Test that Kvo's unit tests use, for their WebAssembly
// build (Google Test is not built for WebAssembly): TEST, TEST_F, and the
// EXPECT_ and ASSERT_ checks with streamed messages. A failed check prints
// its place, its condition and the message; gtest_main.cpp runs the tests.
#pragma once
#pragma GCC system_header

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace testing {

class Test {
  public:
    virtual ~Test() = default;
    virtual void SetUp() {}
    virtual void TearDown() {}
    virtual void TestBody() = 0;
};

// Every test, in the order of definition: its name and how to make it.
inline std::vector<std::pair<const char*, Test* (*)()>>& Registry() {
    static std::vector<std::pair<const char*, Test* (*)()>> tests;
    return tests;
}
struct Registrar {
    Registrar(const char* name, Test* (*make)()) { Registry().emplace_back(name, make); }
};

struct Message {
    std::ostringstream text;
    template <typename T>
    Message& operator<<(const T& value) {
        text << value;
        return *this;
    }
};

// Whether a check of the running test failed.
inline bool Failed = false;

// A failed check: `Failure{...} = Message() << ...` reports it.
struct Failure {
    const char* file;
    int line;
    const char* check;
    void operator=(const Message& message) const {
        std::printf("%s:%d: failed: %s %s\n", file, line, check, message.text.str().c_str());
        Failed = true;
    }
};

template <typename A, typename B>
bool Equal(const A& a, const B& b) { return a == b; }

// A vector of numbers as text: "{ 1, 2, 3 }".
template <typename T>
std::string PrintToString(const std::vector<T>& values) {
    std::ostringstream text;
    text << "{ ";
    for (size_t i = 0; i < values.size(); ++i) text << (i ? ", " : "") << values[i];
    text << " }";
    return text.str();
}

}  // namespace testing

#define KVO_CHECK_(ok, check, onFail)        \
    switch (0) case 0: default:             \
        if (ok) {                           \
        } else                              \
            onFail ::testing::Failure{__FILE__, __LINE__, check} = ::testing::Message()

#define KVO_TEST_(suite, name, base)                                                       \
    class suite##_##name##_Test : public base {                                           \
      public:                                                                             \
        void TestBody() override;                                                         \
    };                                                                                    \
    static ::testing::Registrar suite##_##name##_registrar{                               \
        #suite "." #name, []() -> ::testing::Test* { return new suite##_##name##_Test; }}; \
    void suite##_##name##_Test::TestBody()

#define TEST(suite, name) KVO_TEST_(suite, name, ::testing::Test)
#define TEST_F(fixture, name) KVO_TEST_(fixture, name, fixture)

#define EXPECT_TRUE(c) KVO_CHECK_(static_cast<bool>(c), #c, )
#define EXPECT_FALSE(c) KVO_CHECK_(!(c), "!(" #c ")", )
#define EXPECT_EQ(a, b) KVO_CHECK_(::testing::Equal(a, b), #a " == " #b, )
#define EXPECT_NE(a, b) KVO_CHECK_(!::testing::Equal(a, b), #a " != " #b, )
#define EXPECT_GE(a, b) KVO_CHECK_((a) >= (b), #a " >= " #b, )
#define EXPECT_GT(a, b) KVO_CHECK_((a) > (b), #a " > " #b, )
#define EXPECT_STREQ(a, b) KVO_CHECK_(std::strcmp(a, b) == 0, #a " equals " #b, )
#define EXPECT_NEAR(a, b, e) KVO_CHECK_(std::fabs((a) - (b)) <= (e), #a " near " #b, )
#define ASSERT_TRUE(c) KVO_CHECK_(static_cast<bool>(c), #c, return)
#define ASSERT_EQ(a, b) KVO_CHECK_(::testing::Equal(a, b), #a " == " #b, return)
#define ASSERT_GE(a, b) KVO_CHECK_((a) >= (b), #a " >= " #b, return)
#define ASSERT_LE(a, b) KVO_CHECK_((a) <= (b), #a " <= " #b, return)
// Failures name their place; the trace adds nothing here.
#define SCOPED_TRACE(message) static_cast<void>(0)
