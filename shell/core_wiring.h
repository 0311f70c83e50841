// Connects the subsystems that do not know each other: received datagrams
// to the handlers of their kinds, the network's start and end to the
// presence announcements, the datagram dump of the network core to the
// message log, and undelivered lines to the notice that tells the user.
// Every front end calls it once at start, after filling the platform record.
#pragma once

void ConnectSubsystems();
