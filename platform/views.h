// Every view the core updates, and installing a front end's views into the
// platform record: each role the object plays fills its place, the others
// are left as they are.
#pragma once
#include <type_traits>

#include "platform/arrival_view.h"
#include "platform/bars_view.h"
#include "platform/board_view.h"
#include "platform/chat_areas_view.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "platform/popup_view.h"
#include "platform/user_area_view.h"

template <class T>
void InstallViews(T* views, Platform* platform = &g_platform) {
    if constexpr (std::is_base_of_v<MessageBoxes, T>) platform->boxes = views;
    if constexpr (std::is_base_of_v<BarsView, T>) platform->bars = views;
    if constexpr (std::is_base_of_v<UserAreaView, T>) platform->user_area = views;
    if constexpr (std::is_base_of_v<ChatAreasView, T>) platform->chat_areas = views;
    if constexpr (std::is_base_of_v<ArrivalView, T>) platform->arrivals = views;
    if constexpr (std::is_base_of_v<PopupView, T>) platform->popups = views;
    if constexpr (std::is_base_of_v<BoardView, T>) platform->board = views;
}
