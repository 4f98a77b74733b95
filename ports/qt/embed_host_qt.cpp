#include "platform/qt/embed_host_qt.h"

namespace {
uintptr_t embedHost = 0;
}

void QtSetEmbedHost(uintptr_t id) {
    embedHost = id;
}
uintptr_t QtEmbedHost() {
    return embedHost;
}
