// The score server's pages: /tapdash/top1.php records, /tapdash/top2.php answers the place,
// /tapdash/ shows the top ten.
#pragma once

namespace httplib {
class Server;
}

void AddScoreRoutes(httplib::Server& server);
