// Connects the subsystems that do not know each other: received datagrams
// to the handlers of their kinds, and the datagram dump of the network core
// to the message log. Every front end calls it once at start, after filling
// the platform record.
#pragma once

void ConnectSubsystems();
