// The editors' button pictures come from the main window's picture list, which lives above this layer:
// the window start-up hands the editors a way to fetch them by number.
#pragma once

#include <QIcon>

#include <functional>

namespace hw::editors {

// Numbers in the main window's picture list.
inline constexpr int kPictureLoad = 8;
inline constexpr int kPictureSave = 9;
inline constexpr int kPictureFind = 26;
inline constexpr int kPictureOk = 32;
inline constexpr int kPictureCancel = 35;

void SetButtonPictureSource(std::function<QIcon(int)> source);
// A null icon until a source is set.
QIcon ButtonPicture(int number);

} // namespace hw::editors
