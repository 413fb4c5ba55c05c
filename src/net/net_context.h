#pragma once
// What every HTTP exchange needs from the running program: the shared cookie store and the
// session state. Both outlive every request made with them.

namespace pelloran {

class CookieStore;
class Session;

struct NetContext {
    CookieStore* cookies = nullptr;
    Session* session = nullptr;
};

}  // namespace pelloran
