#include "rig/source_choice.h"

namespace rig {

ServerAddress SourceChoice::Chosen() const {
    switch (kind) {
    case SourceKind::Rigctld:
        return rigctld;
    case SourceKind::Flrig:
        return flrig;
    case SourceKind::Fldigi:
        return fldigi;
    case SourceKind::Wsjtx:
        break;
    }
    return {wsjtxGroup, wsjtxPort};
}

void SourceChoice::SetChosen(const ServerAddress& address) {
    switch (kind) {
    case SourceKind::Rigctld:
        rigctld = address;
        return;
    case SourceKind::Flrig:
        flrig = address;
        return;
    case SourceKind::Fldigi:
        fldigi = address;
        return;
    case SourceKind::Wsjtx:
        wsjtxGroup = address.host;
        wsjtxPort = address.port;
        return;
    }
}

} // namespace rig
