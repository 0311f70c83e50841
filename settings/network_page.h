// The Network page as the program's settings see it: the host address list
// being edited (the texts as the user typed them, in text order), the port,
// the local broadcast and Start at launch.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings.h"

// Bytes of one host text, as the edit and the user area give it.
constexpr size_t kHostTextLimit = 19;

// An address may join the list when it reads as an IPv4 address, is not the
// user's own address and does not begin 127.0.0. (own_address in network
// order).
bool HostAddressAcceptable(const std::string& text, uint32_t own_address);

// The working copy of the host list, kept in text order without regard to
// case, as a sorted list box keeps it.
class HostListEdit {
public:
    enum class Added { Yes, Full, Refused };

    explicit HostListEdit(std::vector<std::string> texts = {});

    // Full when the list holds 30 texts already (whatever the text); Refused
    // for an empty text, one the list holds (without regard to case) or an
    // address that fails the check; otherwise added at its place in order.
    Added Add(const std::string& text, uint32_t own_address);
    // The position a text was put at by the last Add; -1 after none.
    int last_added() const { return last_added_; }

    // Takes the text at `index` off the list and returns it; empty for no
    // such position.
    std::string Remove(int index);

    // Adds the addresses of the user area's rows (given top to bottom),
    // walking from the last row up: a text the list holds is passed over,
    // the first that fails the check ends the walk (the user's own row does).
    // True when the walk stopped at a full list.
    bool AddUserAddresses(const std::vector<std::string>& row_addresses, uint32_t own_address);

    bool Holds(const std::string& text) const;
    const std::vector<std::string>& texts() const { return texts_; }

private:
    void Insert(const std::string& text);

    std::vector<std::string> texts_;
    int last_added_ = -1;
};

// The list of the program's settings as the page shows it: each address in
// dotted form, "@" in front when it is marked.
std::vector<std::string> HostTextsOf(const Settings& settings);

struct NetworkChoice {
    std::string port_text;  // as typed, at most 19 bytes; stored unchecked
    bool local_broadcast = false;
    bool start_send = false;
    std::vector<std::string> hosts;  // in list order
};

constexpr uint16_t kNetworkPageReport = 0x0007;

// Stores the flags and the new host list into the program's settings (the
// port stays as it is: a new one is taken at the next start) and writes
// Port_Number as typed, Start_Send, Broadcast_LocalNetwork, Number and
// Address01.. in list order, each address as typed. Keys of a longer list
// before are left in the file, unread. Returns the step of the last failed
// write, or 0; when Number cannot be written no address is written.
uint16_t ApplyNetworkPage(const NetworkChoice& choice);
