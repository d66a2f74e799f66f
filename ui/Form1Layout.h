// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string_view>

namespace qurimo::layout {

// The window's fixed geometry, in twips (1/1440 inch) from the top-left corner of the client
// area. 15 twips make one logical pixel; Qt scales logical pixels on high-density screens.
constexpr int TwipsPerPixel = 15;
constexpr int ClientWidth = 11850;
constexpr int ClientHeight = 8115;

constexpr int pixels(int twips) {
    return twips / TwipsPerPixel;
}

// "Qurimo V" and the project's version, given by the build.
constexpr std::string_view Caption = QURIMO_CAPTION;

enum class Font {
    Default,  // the system's user-interface font
    Song,     // "宋体" 12 pt
    SongBold, // "宋体" 12 pt bold
};

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

struct Control {
    std::string_view name;
    int left;
    int top;
    int width;
    int height;
    std::string_view text; // initial caption or text, UTF-8
    Font font;
    bool coloured; // whether textColour replaces the system text colour
    Rgb textColour;
};

constexpr Rgb Blue{0, 0, 255};
constexpr Rgb Red{255, 0, 0};
constexpr Rgb Purple{128, 0, 128};
constexpr Rgb None{};

// Every control, from the top of the window; Command1 and Text1 lie below its bottom edge.
constexpr std::array<Control, 14> Controls{{
    {"Label1", 120, 120, 11535, 1215, "Label1", Font::SongBold, true, Blue},
    {"Label2", 120, 1560, 11535, 855, "Label2", Font::SongBold, true, Red},
    {"Label3", 120, 2520, 1335, 255, "随便写写:", Font::Song, false, None},
    {"Text2", 120, 2880, 11655, 975, "", Font::Song, false, None},
    {"List1", 120, 3960, 11655, 3660, "", Font::Song, true, Blue},
    {"Text3", 120, 7680, 1335, 375, "请输入关键字", Font::Default, false, None},
    {"Command3", 1560, 7680, 615, 375, "Go!", Font::Default, false, None},
    {"Command2", 2400, 7680, 1095, 375, "全  部", Font::Default, false, None},
    {"Command4", 3630, 7680, 1095, 375, "隐藏英文", Font::Default, false, None},
    {"Command5", 4860, 7680, 1095, 375, "隐藏中文", Font::Default, false, None},
    {"Command7", 7320, 7680, 1095, 375, "退  出", Font::Default, false, None},
    {"Text4", 8880, 7680, 2535, 375, "欢迎到项目页反馈意见", Font::Song, true, Purple},
    {"Command1", 1800, 9000, 1335, 375, "写文件", Font::Default, false, None},
    {"Text1", 3120, 9120, 2295, 375, "Text1", Font::Default, false, None},
}};

// The order in which Tab moves the keyboard focus; after the last it returns to the first.
constexpr std::array<std::string_view, 11> TabOrder{
    "Command1", "Command2", "Text1",    "Text2",    "List1", "Text3",
    "Command3", "Command4", "Command5", "Command7", "Text4",
};

// What screen readers announce beyond a control's visible caption. A control with a caption
// keeps it as its name, so that it can be called by what the user sees; its purpose goes into
// the description. The boxes and the list have no caption of their own and get a name.
struct Accessible {
    std::string_view control;
    std::string_view name; // empty: the visible caption
    std::string_view description;
};

constexpr std::array<Accessible, 13> AccessibleTexts{{
    {"Label1", "", "英文例句"},
    {"Label2", "", "中文译文"},
    {"Text1", "例句全文", "全部例句或所选的英文例句"},
    {"Text2", "随便写写", "练习用的草稿，选中一行例句时清空"},
    {"List1", "例句列表",
     "每行一句中文译文；Ctrl+C 复制所选例句的英文和中文；菜单键打开朗读和复制的菜单"},
    {"Text3", "关键字", "要在英文例句中查找的关键字"},
    {"Text4", "联系方式", ""},
    {"Command3", "", "搜索"},
    {"Command2", "", "重新读取例句库并列出全部例句"},
    {"Command4", "", "隐藏或显示英文例句"},
    {"Command5", "", "隐藏或显示中文译文"},
    {"Command7", "", "关闭窗口，结束程序"},
    {"Command1", "", "写库文件"},
}};

const Control& control(std::string_view name);

} // namespace qurimo::layout
