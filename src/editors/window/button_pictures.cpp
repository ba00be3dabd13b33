#include "editors/window/button_pictures.h"

namespace hw::editors {

namespace {

std::function<QIcon(int)>& Source() {
    static std::function<QIcon(int)> source;
    return source;
}

} // namespace

void SetButtonPictureSource(std::function<QIcon(int)> source) {
    Source() = std::move(source);
}

QIcon ButtonPicture(int number) {
    return Source() ? Source()(number) : QIcon();
}

} // namespace hw::editors
