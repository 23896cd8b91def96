// The browser build of the game, served from a folder (--web) under /tapdash/play/.
#pragma once

#include <string>

#include "server/routes.h"

// The folder with the browser build and its sound pack; empty when the server serves none.
extern std::string g_webFolder;

constexpr char kPlayPath[] = "/tapdash/play/";

// Whether `path` is under /tapdash/play (answered by WebFileReply, never by another route).
bool IsPlayPath(const std::string& path);
// The file of the folder that `path` names (the page for the folder itself), with its type, an
// ETag and how long browsers may keep it: the page, the program and the pack's list are checked
// on every visit (the program's two files must always match), the sounds kept a day. A request
// that accepts gzip gets the file's ".gz" twin where the folder has one (make_site.py writes
// them); one whose If-None-Match holds the ETag gets 304 and no body. A name outside the folder,
// hidden, or with anything but letters, digits, '.', '-', '_' and '/' is not found.
Reply WebFileReply(const std::string& path, const RequestHeaders& headers = {});
