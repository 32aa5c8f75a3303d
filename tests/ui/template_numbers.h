#pragma once

// The two windows' templates as numbers: dialog size and each control's id, position
// and size in dialog units, in tab order (group boxes have the id -1); and the main
// window's texts. Both front ends' window tests hold their windows against these.

#include <span>
#include <utility>

namespace velloran::testing {

struct ControlNumbers {
    int id;
    int x, y, width, height;
};

struct TemplateNumbers {
    int id;
    int width, height;
    std::span<const ControlNumbers> controls;
};

inline constexpr ControlNumbers kMainControlNumbers[] = {
    {-1, 2, 2, 279, 226},     {1003, 14, 18, 43, 12},   {1000, 63, 18, 117, 100},
    {-1, 10, 38, 262, 75},    {1004, 27, 53, 236, 24},  {1002, 195, 87, 69, 20},
    {-1, 10, 116, 262, 75},   {1005, 27, 131, 236, 24}, {1001, 195, 164, 69, 20},
    {1007, 118, 199, 69, 20}, {1, 195, 199, 69, 20},    {1006, 15, 233, 251, 10},
    {1008, 15, 245, 251, 10},
};
inline constexpr ControlNumbers kTransferControlNumbers[] = {
    {1007, 13, 10, 160, 28},
    {1008, 13, 49, 160, 11},
};

inline constexpr TemplateNumbers kMainNumbers{102, 283, 261, kMainControlNumbers};
inline constexpr TemplateNumbers kTransferNumbers{129, 187, 75, kTransferControlNumbers};

// The main window's texts by control id.
inline constexpr std::pair<int, const char*> kMainTexts[] = {
    {1003, "機種名(&M)"},
    {1004, "プリンターからデータを受信し、ファイルへ出力します。"},
    {1005, "指定したファイルを読み込み、プリンターへ送信します。"},
    {1006, "VELLORAN Ver1.20"},
    {1008, "Copyright (C) 2026 VELLORAN developers"},
    {1002, "受信(&R)"},
    {1001, "送信(&S)"},
    {1, "終了(&X)"},
    {1007, "ヘルプ(&H)"}};

}  // namespace velloran::testing
