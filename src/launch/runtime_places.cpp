#include "runtime_places.h"

#include <string.h>

#include "../startup/exact_names.h"
#include "../startup/letters.h"
#include "launch_log.h"
#include "packed_texts.h"
#include "release_file.h"
#include "trusted_owners.h"

namespace {

// How the homes stand in a place's folder.
enum Layout : uint8_t {
    vendorFolders,      // each vendor's folder in it holds homes
    homes,              // each entry is a home
    homesOrInside,      // each entry is a home, or its only folder is (Gradle before 8.9)
    scoopApps,          // each app's "current" is a home
    minecraftRuntimes,  // each component C holds the homes windows-x64\C and windows-x86\C
};

// Each place in the order searched: its variable and the folder below it, then the variable and
// folder that stand in where the first variable is unset (empty: none). A 32-bit program on a
// 64-bit system sees "Program Files (x86)" as ProgramFiles; ProgramW6432 names the 64-bit folder
// there, and is unset on a 32-bit system, which has only the one.
const char placeTexts[] =
    "ProgramW6432\0\0ProgramFiles\0\0"
    "ProgramFiles(x86)\0\0\0\0"
    "LOCALAPPDATA\0Programs\0\0\0"
    "USERPROFILE\0.jdks\0\0\0"
    "USERPROFILE\0.jbr\0\0\0"
    "GRADLE_USER_HOME\0jdks\0USERPROFILE\0.gradle\\jdks\0"
    "SCOOP\0apps\0USERPROFILE\0scoop\\apps\0"
    "SCOOP_GLOBAL\0apps\0\0\0"
    "APPDATA\0.minecraft\\runtime\0\0\0"
    "LOCALAPPDATA\0"
    "Packages\\Microsoft.4297127D64EC6_8wekyb3d8bbwe\\LocalCache\\Local\\runtime\0\0\0"
    "ProgramFiles(x86)\0Minecraft Launcher\\runtime\0\0";
// clang-format off
const Layout placeLayouts[] = {
    vendorFolders,     vendorFolders,     vendorFolders,       // Program Files, (x86), Programs
    homes,             homes,             homesOrInside,       // .jdks, .jbr, Gradle
    scoopApps,         scoopApps,                              // Scoop, its global apps
    minecraftRuntimes, minecraftRuntimes, minecraftRuntimes};  // .minecraft, Store, (x86)
// clang-format on
const unsigned placeCount = sizeof placeLayouts / sizeof placeLayouts[0];

// The vendors' folders, ended by an empty text.
const char vendors[] =
    "Java\0Eclipse Adoptium\0AdoptOpenJDK\0Eclipse Foundation\0Microsoft\0Zulu\0BellSoft\0"
    "Semeru\0Amazon Corretto\0RedHat\0SapMachine\\JDK\0SapMachine\\JRE\0";

// Where nobody but the user, or an administrator, makes a folder: the user's profile and the
// Program Files folders.
const char ownFolders[] = "USERPROFILE\0ProgramW6432\0ProgramFiles\0ProgramFiles(x86)\0";
const unsigned ownFolderCount = 4;
char ownFolderPaths[ownFolderCount][pathBytes];  // only the worker searches

// The log's names of the layouts, in their order.
const char layoutNames[] =
    "a vendor's folder\0the IDE's downloads\0Gradle's toolchains\0Scoop's apps\0"
    "the Minecraft launcher's runtimes";

// A path that grows by parts and is cut back to a mark.
struct Path {
    char text[pathBytes];
    size_t length;

    // Appends a backslash and `part` (nothing before it in an empty path); false, and the path
    // unchanged, when the result would not fit.
    bool add(const char* part) {
        const size_t added = strlen(part), start = length > 0 ? length + 1 : 0;
        if (start + added >= sizeof text) return false;
        text[length] = '\\';
        memcpy(text + start, part, added + 1);
        length = start + added;
        return true;
    }
    void cutTo(size_t mark) {
        length = mark;
        text[mark] = '\0';
    }
};

// The name to use for an entry of `folder`, or null for one that is no folder of the place's own (a
// file, a junction or link, "." and "..") or that the code page cannot spell and has no short name,
// which the log names.
const char* usableName(const char* name, const char* shortName, uint32_t attributes,
                       const char* folder) {
    if ((attributes & (entryIsFolder | entryIsLink)) != entryIsFolder) return nullptr;
    if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) return nullptr;
    if (name[0] != '\0') return name;
    if (shortName[0] == '\0') logNameRefused("an entry of ", folder, noAnsiForm);
    return shortName[0] != '\0' ? shortName : nullptr;
}

class Search {
public:
    Search(const FolderAccess& access, RuntimeList& list) : access_(access), list_(list) {
        userLength_ = access.user(user_);
        const char* variable = ownFolders;
        for (unsigned i = 0; i < ownFolderCount; ++i, variable = nextText(variable)) {
            if (!access.variable(variable, ownFolderPaths[i], pathBytes)) {
                ownFolderPaths[i][0] = '\0';
            }
        }
    }

    bool full() const { return placeHomes_ >= homesPerPlace; }

    // A place begins: its share of homes is whole, and its homes' owners are checked unless it
    // lies in the user's profile or a Program Files folder.
    void startPlace(const char* base) {
        placeHomes_ = 0;
        checkOwners_ = true;
        for (const char* own : ownFolderPaths) {
            size_t length = strlen(own);
            if (length > 0 && finalBackslashes(own) > 0) --length;
            if (length > 0 && compareIgnoringCase(base, own, length) == 0 &&
                (base[length] == '\\' || base[length] == '\0')) {
                checkOwners_ = false;
            }
        }
    }

    // Lists the homes in `folder` as the layout has them.
    void searchFolder(Path& folder, Layout layout, uint8_t place) {
        if (full()) return;
        Listing listing = {this, &folder, layout, place, 0, 0, ""};
        access_.listFolder(folder.text, visitEntry, &listing);
    }

private:
    struct Listing {
        Search* search;
        Path* folder;
        Layout layout;
        uint8_t place;
        size_t read;           // entries read
        size_t folders;        // for countFolders: folders among them
        char only[pathBytes];  // for countFolders: the first folder's name
    };

    static bool visitEntry(void* context, const char* name, const char* shortName,
                           uint32_t attributes) {
        Listing& l = *static_cast<Listing*>(context);
        Search& s = *l.search;
        Path& path = *l.folder;
        const size_t mark = path.length;
        name = usableName(name, shortName, attributes, path.text);
        if (name != nullptr && path.add(name)) {
            const size_t entry = path.length;
            if (l.layout == scoopApps) {
                if (path.add("current")) s.consider(path, l.place);
            } else if (l.layout == minecraftRuntimes) {
                for (const char* system = "windows-x64\0windows-x86\0"; system[0] != '\0';
                     system = nextText(system)) {
                    if (path.add(system) && path.add(name)) s.consider(path, l.place);
                    path.cutTo(entry);
                }
            } else if (!s.consider(path, l.place) && l.layout == homesOrInside) {
                Listing inner = {&s, &path, homes, l.place, 0, 0, ""};
                s.access_.listFolder(path.text, countFolders, &inner);
                if (inner.folders == 1 && path.add(inner.only)) s.consider(path, l.place);
            }
            path.cutTo(mark);
        }
        return ++l.read < entriesPerFolder && !s.full();
    }

    // Counts the folders up to two, and keeps the first one's name.
    static bool countFolders(void* context, const char* name, const char* shortName,
                             uint32_t attributes) {
        Listing& l = *static_cast<Listing*>(context);
        name = usableName(name, shortName, attributes, l.folder->text);
        if (name != nullptr && ++l.folders == 1) memcpy(l.only, name, strlen(name) + 1);
        return ++l.read < entriesPerFolder && l.folders < 2;
    }

    // Lists `home` when it holds bin\java.exe, with the version of its release file.
    bool consider(Path& home, uint8_t place) {
        const size_t mark = home.length;
        const bool found =
            !full() && home.add("bin") && home.add("java.exe") && access_.isFile(home.text);
        // Where others may make folders, the program's owner counts as well as its folder's: a
        // junction may lead a planted home's name into a folder whose owner did not plant it.
        const bool programTrusted = !checkOwners_ || (found && ownerTrusted(home.text));
        home.cutTo(mark);
        if (!found) return false;
        if (!programTrusted || (checkOwners_ && !ownerTrusted(home.text))) {
            logOwnerNotTrusted(home.text, placeName(place));
            return true;
        }
        RuntimeVersion version = {0, 0, 0, 0};
        if (home.add("release")) {
            static char release[releaseFileLimit];  // only the worker searches
            version =
                releaseFileVersion(release, access_.readStart(home.text, release, sizeof release));
            home.cutTo(mark);
        }
        if (home.add("") && mergeRuntime(list_, home.text, version, folderSearch, nullptr, place)) {
            ++placeHomes_;
        }
        home.cutTo(mark);
        return true;
    }

    bool ownerTrusted(const char* path) {
        uint8_t owner[sidBytesLimit];
        return trustedOwner(owner, access_.owner(path, owner), user_, userLength_);
    }

    const FolderAccess& access_;
    RuntimeList& list_;
    size_t placeHomes_ = 0;
    bool checkOwners_ = true;
    uint8_t user_[sidBytesLimit];
    size_t userLength_;
};

}  // namespace

const char* placeName(uint8_t place) {
    return place < placeCount ? packedText(layoutNames, placeLayouts[place]) : "";
}

void collectFolderRuntimes(const FolderAccess& access, RuntimeList& list) {
    list.clear();
    Search search(access, list);
    const char* texts = placeTexts;
    for (unsigned index = 0; index < placeCount; ++index) {
        const char* variable = texts;
        const char* below = nextText(variable);
        const char* orVariable = nextText(below);
        const char* orBelow = nextText(orVariable);
        texts = nextText(orBelow);
        Path base = {"", 0};
        if (!access.variable(variable, base.text, sizeof base.text)) {
            if (orVariable[0] == '\0' ||
                !access.variable(orVariable, base.text, sizeof base.text)) {
                continue;
            }
            below = orBelow;
        }
        base.length = strlen(base.text);
        if (below[0] != '\0' && !base.add(below)) continue;
        search.startPlace(base.text);
        const uint8_t rank = static_cast<uint8_t>(index);
        if (placeLayouts[index] != vendorFolders) {
            search.searchFolder(base, placeLayouts[index], rank);
            continue;
        }
        const size_t mark = base.length;
        for (const char* vendor = vendors; vendor[0] != '\0'; vendor = nextText(vendor)) {
            if (base.add(vendor)) search.searchFolder(base, homes, rank);
            base.cutTo(mark);
        }
    }
}
