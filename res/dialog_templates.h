#pragma once

#include <cstdint>
#include <span>

#include "res/resource.h"

namespace velloran {

// The kinds of control the two windows are made of.
enum class ControlKind {
    kGroupBox,
    kText,               // static text, top-aligned, word-wrapped
    kTextCentred,        // static text, vertically centred
    kDropDownList,       // not sorted, vertical scroll bar, tab stop
    kPushButton,         // tab stop
    kDefaultPushButton,  // tab stop, activated by Enter when no other button has the focus
    kProgressBar,        // with a border
};

// One control of a dialog template: position and size in dialog units, in tab order.
struct ControlTemplate {
    int32_t id;
    const char* name;  // the id's name; null for controls without an id
    ControlKind kind;
    int32_t x, y, width, height;
};

struct DialogTemplate {
    int32_t id;
    int32_t width, height;  // client area, dialog units
    uint32_t fontPoints;
    std::span<const ControlTemplate> controls;
};

// The dialog font is "ＭＳ Ｐゴシック" at 9 points; front ends substitute the nearest
// proportional Japanese Gothic face they have.
inline constexpr uint32_t kDialogFontPoints = 9;

inline constexpr ControlTemplate kMainControls[] = {
    {IDC_NONE, nullptr, ControlKind::kGroupBox, 2, 2, 279, 226},
    {IDC_MODEL_LABEL, "IDC_MODEL_LABEL", ControlKind::kTextCentred, 14, 18, 43, 12},
    {IDC_MODEL, "IDC_MODEL", ControlKind::kDropDownList, 63, 18, 117, 100},
    {IDC_NONE, nullptr, ControlKind::kGroupBox, 10, 38, 262, 75},
    {IDC_RECEIVE_TEXT, "IDC_RECEIVE_TEXT", ControlKind::kText, 27, 53, 236, 24},
    {IDC_RECEIVE, "IDC_RECEIVE", ControlKind::kPushButton, 195, 87, 69, 20},
    {IDC_NONE, nullptr, ControlKind::kGroupBox, 10, 116, 262, 75},
    {IDC_SEND_TEXT, "IDC_SEND_TEXT", ControlKind::kText, 27, 131, 236, 24},
    {IDC_SEND, "IDC_SEND", ControlKind::kPushButton, 195, 164, 69, 20},
    {IDC_HELP_BUTTON, "IDC_HELP_BUTTON", ControlKind::kPushButton, 118, 199, 69, 20},
    {IDC_EXIT, "IDC_EXIT", ControlKind::kDefaultPushButton, 195, 199, 69, 20},
    {IDC_VERSION, "IDC_VERSION", ControlKind::kTextCentred, 15, 233, 251, 10},
    {IDC_COPYRIGHT, "IDC_COPYRIGHT", ControlKind::kTextCentred, 15, 245, 251, 10},
};

inline constexpr ControlTemplate kTransferControls[] = {
    {IDC_STATUS, "IDC_STATUS", ControlKind::kText, 13, 10, 160, 28},
    {IDC_PROGRESS, "IDC_PROGRESS", ControlKind::kProgressBar, 13, 49, 160, 11},
};

inline constexpr DialogTemplate kMainTemplate{IDD_MAIN, 283, 261, kDialogFontPoints, kMainControls};
inline constexpr DialogTemplate kTransferTemplate{IDD_TRANSFER, 187, 75, kDialogFontPoints,
                                                  kTransferControls};

}  // namespace velloran
