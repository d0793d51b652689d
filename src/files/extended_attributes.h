#pragma once

#include <QByteArray>

namespace tavrin {

// Gives the file open as `to` every extended attribute of the file `name` in the open
// folder `folder`: user attributes, and the access ACL (system.posix_acl_access),
// through which colleagues may reach a shared file. Attributes the user may not set
// (security.*, trusted.*, where the system refuses) and a file system that holds none
// are passed over, as the owner is; any other failure returns its errno, 0 when done.
// Setting an ACL changes the group's permission bits: set the mode afterwards.
int copyExtendedAttributes(int folder, const QByteArray& name, int to);

} // namespace tavrin
