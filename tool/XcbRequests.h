#pragma once
// The few X server requests that the tool and its tests make beside Qt: atoms, and the
// 32-bit properties of windows.

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace quorvan::xcb {

// A reply, which the caller frees.
template <typename Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
Owned<Reply> Own(Reply* reply) {
    return Owned<Reply>(reply, &std::free);
}

// XCB_ATOM_NONE when the server gives none.
xcb_atom_t Atom(xcb_connection_t* connection, const char* name);
// The 32-bit items of a property of the window; empty when it has none of that type.
std::vector<uint32_t> Property(xcb_connection_t* connection, xcb_window_t window, const char* name,
                               xcb_atom_t type);
// True when the window's _NET_WM_STATE holds the state.
bool HasState(xcb_connection_t* connection, xcb_window_t window, const char* state);

}  // namespace quorvan::xcb
