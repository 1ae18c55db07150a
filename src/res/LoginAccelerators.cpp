#include "Resources.h"
#include "resource.h"

#include <Qt>

namespace {

constexpr unsigned kNone = Qt::NoModifier;
constexpr unsigned kAlt = Qt::AltModifier;
constexpr unsigned kCtrl = Qt::ControlModifier;
constexpr unsigned kShift = Qt::ShiftModifier;

constexpr AcceleratorEntry kEntries[] = {
    {Qt::Key_F1, kNone, ID_HELP_COMMAND},
    {Qt::Key_R, kAlt, static_cast<unsigned>(IDC_PROFILE_BUTTON)},
    {Qt::Key_F1, kCtrl, ID_HELP_USING},
    {Qt::Key_F1, kAlt, ID_HELP_INDEX},
    {Qt::Key_F1, kShift, ID_CONTEXT_HELP},
};

} // namespace

extern const AcceleratorTable kLoginAccelerators = {IDR_LOGIN_ACCELERATORS, kEntries};
