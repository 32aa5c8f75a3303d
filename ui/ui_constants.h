#pragma once

#include <cstdint>

namespace velloran {

// Message box styles, with the values of the Windows MB_ flags so that every front end
// reads them the same way.
inline constexpr uint32_t kBoxOk = 0x00;
inline constexpr uint32_t kBoxYesNo = 0x04;
inline constexpr uint32_t kBoxButtonsMask = 0x0F;
inline constexpr uint32_t kBoxIconExclamation = 0x30;
inline constexpr uint32_t kBoxIconInformation = 0x40;
inline constexpr uint32_t kBoxIconMask = 0xF0;

// The outcome boxes and the confirmation box.
inline constexpr uint32_t kSuccessBoxStyle = kBoxOk | kBoxIconInformation;
inline constexpr uint32_t kFailureBoxStyle = kBoxOk | kBoxIconExclamation;
inline constexpr uint32_t kConfirmBoxStyle = kBoxYesNo | kBoxIconInformation;

// Message box answers, with the values of IDOK, IDYES and IDNO.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// The compiled help, looked for in the program's folder.
inline constexpr char kHelpFileName[] = "VLR120.chm";

// Backup files in the file dialogs.
inline constexpr char kBackupExtension[] = "vid";
inline constexpr char kBackupFilterName[] = "vid files";
inline constexpr char kBackupFilterPattern[] = "*.vid";

}  // namespace velloran
