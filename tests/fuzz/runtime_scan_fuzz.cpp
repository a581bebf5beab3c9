// Random registry entries, from the JavaSoft keys and from the vendors' keys: names and values
// (MicroVersion, and the home in JavaHome, Path or InstallationPath) of any bytes are parsed
// within buffers of the scan's sizes, and after every merge the list equals a plain model of the
// merge rule (keep the higher version for a home, compared without regard to case; the earlier
// entry on a tie; equal versions in the order found), which holds the list's three orderings and
// each node's source. Then the last resort runs over the list: it tries, in list order, every
// runtime of a vendor and every other one of 1.2 or newer, each home once.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <algorithm>
#include <string>
#include <vector>

#include "launch/runtime_list.h"
#include "launch/runtime_version.h"
#include "launch/selection_order.h"
#include "launch/tried_homes.h"

namespace {

struct ModelEntry {
    std::string home;
    RuntimeVersion version;
    RuntimeSource source;
};

void mergeIntoModel(std::vector<ModelEntry>& model, const char* home, const RuntimeVersion& v,
                    RuntimeSource source) {
    for (auto it = model.begin(); it != model.end(); ++it) {
        if (strcasecmp(it->home.c_str(), home) != 0) continue;
        if (compareVersions(it->version, v) >= 0) return;
        model.erase(it);
        break;
    }
    // Behind every entry that is as new or newer.
    auto at = std::find_if(model.begin(), model.end(),
                           [&](const ModelEntry& e) { return compareVersions(e.version, v) < 0; });
    model.insert(at, ModelEntry{home, v, source});
}

void checkAgainstModel(const RuntimeList& list, const std::vector<ModelEntry>& model) {
    size_t i = 0;
    for (const RuntimeCandidate* n = list.head; n != nullptr; n = n->next, ++i) {
        if (i >= model.size() || model[i].home != n->homeFolder ||
            compareVersions(model[i].version, n->version) != 0 || model[i].source != n->source) {
            abort();
        }
    }
    if (i != model.size()) abort();
}

// Takes the next field of at most `limit` bytes, ended by a 0xFF byte or the input's end.
void nextField(const uint8_t*& data, size_t& size, char* out, size_t limit) {
    size_t n = 0;
    while (size > 0 && *data != 0xFF && n < limit) out[n++] = static_cast<char>(*data++), --size;
    if (size > 0) ++data, --size;
    out[n] = '\0';
}

// A machine with no local runtime, no JavaSoft tiers and no JAVA_HOME, whose further list is the
// fuzzed one; it records the status texts, which name each home tried.
const RuntimeList* furtherList;
std::vector<std::string> statusTexts;

bool recordStatus(const char* text) {
    statusTexts.push_back(text != nullptr ? text : "(null)");
    return true;
}
bool failToStart(char*) {
    return false;
}
bool noPath(const char*, int) {
    return false;
}
void noRuntimes(RuntimeList&) {}
void noError(const char*) {
    abort();
}
bool noJavaHome(char*, unsigned) {
    return false;
}
void copyFurther(RuntimeList& list) {
    for (const RuntimeCandidate* n = furtherList->head; n != nullptr; n = n->next) {
        mergeRuntime(list, n->homeFolder, n->version, n->source);
    }
}
const char* asItIs(const char* home, char*, unsigned) {
    return home;
}
const LauncherPlatform machine = {recordStatus, failToStart, noPath,     noRuntimes, noError,
                                  noJavaHome,   copyFurther, noRuntimes, asItIs,     nullptr};

void checkLastResort(const RuntimeList& list, const std::vector<ModelEntry>& model) {
    std::vector<std::string> expected = {"jview"};
    std::vector<std::string> tried;
    for (const ModelEntry& e : model) {
        const bool takesBinJava = e.source == vendorKey || e.version.major > 1 ||
                                  (e.version.major == 1 && e.version.minor >= 2);
        if (!takesBinJava) continue;
        if (std::any_of(tried.begin(), tried.end(),
                        [&](const std::string& h) { return sameHome(h.c_str(), e.home.c_str()); }))
            continue;
        tried.push_back(e.home);
        expected.push_back(e.home);
    }
    expected.push_back("java");
    furtherList = &list;
    statusTexts.clear();
    if (chooseAndLaunch(machine) || statusTexts != expected) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RuntimeList list;
    std::vector<ModelEntry> model;
    while (size > 0) {
        // Buffers as the registry scan has them: names of 260 characters, values of 261 bytes
        // with one more for the terminating NUL.
        char name[261], micro[262], home[262];
        const RuntimeSource source = (*data & 1) != 0 ? vendorKey : javaSoftKey;
        nextField(data, size, name, 260);
        nextField(data, size, micro, 261);
        nextField(data, size, home, 261);
        // Few distinct homes, in varying case, so that the same home comes back often.
        if (home[0] != '\0') home[0] = "aAbBcCdD"[home[0] & 7];
        trimSpaces(name);
        RuntimeVersion version = parseVersionName(name);
        // Only the JavaSoft keys carry MicroVersion; a vendor's entry without a home is left out.
        if (source == javaSoftKey && wantsMicroVersion(version)) applyMicroVersion(version, micro);
        makeHomeText(home);
        if (source == vendorKey && home[0] == '\0') continue;
        mergeRuntime(list, home, version, source);
        mergeIntoModel(model, home, version, source);
        checkAgainstModel(list, model);
    }
    checkLastResort(list, model);
    return 0;
}
