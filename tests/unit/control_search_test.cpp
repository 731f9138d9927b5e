// Finding controls among real child windows: ordinals per class, the retry by text, ids, and the
// class-name-and-ordinal of a given control.
#include "automation/control_search.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace vexil;

namespace {

class ControlWindow : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CreateWindowExW(0, L"Static", L"Control search parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
        const struct {
            const wchar_t* className;
            const wchar_t* text;
            int id;
        } children[] = {
            {L"Edit", L"first", 11}, {L"Button", L"&OK", 12}, {L"Edit", L"second", 13}, {L"Button", L"Edit3", 14}, {L"Static", L"Edit2", 15},
        };
        for (const auto& child : children)
            controls_.push_back(CreateWindowExW(0, child.className, child.text, WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent_,
                                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)), nullptr, nullptr));
    }
    void TearDown() override { DestroyWindow(parent_); }

    HWND parent_ = nullptr;
    std::vector<HWND> controls_;
};

} // namespace

TEST_F(ControlWindow, FindsByDescriptor) {
    EXPECT_EQ(findControlByDescriptor(parent_, L"Edit1"), controls_[0]);
    EXPECT_EQ(findControlByDescriptor(parent_, L"Edit2"), controls_[2]);
    EXPECT_EQ(findControlByDescriptor(parent_, L"Button2"), controls_[3]);
    // No third Edit: the same text is tried as a control's text.
    EXPECT_EQ(findControlByDescriptor(parent_, L"Edit3"), controls_[3]);
    EXPECT_EQ(findControlByDescriptor(parent_, L"&OK"), controls_[1]);
    EXPECT_EQ(findControlByDescriptor(parent_, L"[ID:15]"), controls_[4]);
    EXPECT_EQ(findControlByDescriptor(parent_, L"[CLASS:Button; INSTANCE:2]"), controls_[3]);
    EXPECT_EQ(findControlByDescriptor(parent_, L"[TEXT:second]"), controls_[2]);
    EXPECT_EQ(findControlByDescriptor(parent_, L"[CLASSNN:Edit3]"), nullptr); // bracketed: no retry by text
    EXPECT_EQ(findControlByDescriptor(parent_, L"[NOSUCHKEY:1]"), nullptr);
    EXPECT_EQ(findControlByDescriptor(parent_, L"nothing"), nullptr);
}

TEST_F(ControlWindow, ClassNamesWithOrdinals) {
    EXPECT_EQ(controlClassNN(parent_, controls_[0]), L"Edit1");
    EXPECT_EQ(controlClassNN(parent_, controls_[2]), L"Edit2");
    EXPECT_EQ(controlClassNN(parent_, controls_[3]), L"Button2");
    EXPECT_EQ(controlClassNN(parent_, controls_[4]), L"Static1");
    EXPECT_EQ(controlClassNN(parent_, parent_), L"");
}
