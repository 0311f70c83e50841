// The send command: the input area's text as one chat or popup message.
#pragma once

// Sends the input area's text with the two mode flags as they are at the
// moment of the command: personal (to the users selected in the user area,
// otherwise to every peer in the table) and popup (a popup message instead of
// a chat message). Asks the confirmations the settings require, shows the
// user's own chat message through the receive path (not when only other users
// were selected) and empties the input area once the message is out. Every
// early end leaves the text in the input area. Needs the network to be ready.
void SendChatMessage(bool personal, bool popup);
