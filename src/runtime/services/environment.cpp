// GetEnv and PutEnv over the platform environment.
#include "runtime/services/environment.h"

#include "platform/environment.h"

RtString GetEnv(const RtString& name) {
    if (!name.isEmpty()) {
        const char* value = platform::environmentValue(name.data);
        return value ? RtString(value) : RtString();
    }
    RtString all;
    for (char** entry = platform::environmentEntries(); *entry; ++entry) {
        all += *entry;
        all += "\n";
    }
    return all;
}

void PutEnv(const RtString& name, const RtString& value) {
    RtString text = name + "=" + value;
    platform::putEnvironmentText(text.data);
}
