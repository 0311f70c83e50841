#include "messaging/arrival_choice.h"

#include <string_view>

#include "net/datagram.h"
#include "settings/settings.h"

namespace {

// The setting's text, up to its NUL or the end of its field.
template <size_t N>
std::string_view FieldText(const char (&field)[N]) {
    return std::string_view(field, BoundedLength(field, N));
}

std::optional<ArrivalNotice> ByValue(std::string_view value, ArrivalNotice blink, ArrivalNotice box) {
    if (value == "Icon") return blink;
    if (value == "Msg") return box;
    return std::nullopt;
}

}  // namespace

std::optional<ArrivalNotice> ChooseArrivalNotice(bool window_shown, bool from_own_address,
                                                 const Settings& settings) {
    if (window_shown) {
        if (from_own_address) return std::nullopt;
        return ByValue(FieldText(settings.ChatMsg_Recieve), ArrivalNotice::TitleBlink,
                       ArrivalNotice::ShownNotice);
    }
    return ByValue(FieldText(settings.ChatMsg_Recieve_At_Toray), ArrivalNotice::TrayBlink,
                   ArrivalNotice::TrayNotice);
}
