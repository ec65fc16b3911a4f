#include "XcbRequests.h"

#include <algorithm>
#include <cstring>

namespace quorvan::xcb {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const auto reply = Own(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::vector<uint32_t> Property(xcb_connection_t* connection, xcb_window_t window, const char* name,
                               xcb_atom_t type) {
    // 64 items are more than any property read here holds.
    const auto reply = Own(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, Atom(connection, name), type, 0, 64),
        nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* items = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(items, items + xcb_get_property_value_length(reply.get()) / 4);
}

bool HasState(xcb_connection_t* connection, xcb_window_t window, const char* state) {
    const std::vector<uint32_t> states =
        Property(connection, window, "_NET_WM_STATE", XCB_ATOM_ATOM);
    return std::find(states.begin(), states.end(), Atom(connection, state)) != states.end();
}

}  // namespace quorvan::xcb
