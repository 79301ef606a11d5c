#include "app/incremental_run.h"

#include <algorithm>
#include <deque>
#include <memory>

#include "app/application.h"
#include "app/exclusion_rule.h"
#include "app/link_rule.h"
#include "app/md5.h"
#include "app/own_files.h"
#include "app/poll_step.h"
#include "runtime/filesystem.h"
#include "runtime/path.h"
#include "runtime/stream.h"
#include "runtime/tree_watch.h"

namespace app {
namespace {

std::size_t Depth(const std::string& path) {
    return std::size_t(std::count(path.begin(), path.end(), rt::PATH_SEPARATOR));
}

class TListChanges {
public:
    TListChanges(Application& app, TLiveList& list, const TOwnFiles& own, rt::TTreeWatch& watch,
                 TIncrementalListing& listing)
        : app_(app), run_(app.run), list_(list), own_(own), watch_(watch), listing_(listing) {}

    Flow Run(std::vector<TNamedDirectory> named) {
        // Parents first: a directory gone with its parent is not listed on its own.
        std::stable_sort(named.begin(), named.end(), [](const auto& a, const auto& b) {
            return Depth(a.path) < Depth(b.path);
        });
        for (const TNamedDirectory& directory : named) {
            const auto* names = directory.whole ? nullptr : &directory.names;
            if (Relist(directory.path, names, directory.itself) == Flow::Stop) return Flow::Stop;
        }
        while (!queued_.empty()) {
            const Queued next = std::move(queued_.front());
            queued_.pop_front();
            const Flow flow = next.isNew ? Walk(next.path) : Relist(next.path, nullptr, true);
            if (flow == Flow::Stop) return Flow::Stop;
        }
        return Flow::Continue;
    }

private:
    // A directory to walk: new to the tree, or known but made, removed or moved by name
    // (the same name may now hold another tree), compared throughout with the one in
    // memory and watched again.
    struct Queued {
        std::string path;
        bool isNew;
    };

    // A directory of the tree listed again, with the names events named in it; without them
    // (one of a tree walked again, or named whole) each name counts as named. A known entry
    // that is not named is looked at only when any entry may have changed (`everyEntry`):
    // otherwise it is as it was, and a storm's directory, listed again at each of its runs,
    // costs its new names. One that cannot be listed stays as it was: when it is gone, its
    // parent's events tell.
    Flow Relist(const std::string& path, const std::unordered_set<std::string>* names,
                bool everyEntry) {
        const TLiveDirectory* before = list_.Directory(path);
        if (!before || GoneInThisRun(path) || !relisted_.insert(path).second) {
            return Flow::Continue;
        }
        if (!names) WatchNew(path);
        const auto directory = rt::TDirectory::Open(path);
        if (!directory) return Flow::Continue;
        TRelisted now{path, {}, {}};
        std::vector<bool> seen(before->Entries().size(), false);
        TNameFinder finder(*before);
        for (const std::string& name : Names(*directory, path)) {
            const std::size_t at = finder.Find(name);
            const bool known = at < seen.size();
            const bool named = !names || names->contains(name);
            const bool look = !known || named || everyEntry;
            rt::EntryStatus entry;
            if (look) entry = directory->Query(name);
            if (known && (!look || !entry.Answered())) {
                // Not examined: it stays as it was last seen.
                seen[at] = true;
                Keep(now, *before, before->Entries()[at]);
                continue;
            }
            if (!Counts(path, name, entry)) continue;
            if (!known) {
                if (Add(now, *directory, name, entry) == Flow::Stop) return Flow::Stop;
                continue;
            }
            seen[at] = true;
            if (Compare(now, *before, before->Entries()[at], *directory, named, name, entry) ==
                Flow::Stop) {
                return Flow::Stop;
            }
        }
        if (directory->ListingFailed()) return Flow::Continue;
        for (std::size_t at = 0; at < seen.size(); ++at) {
            if (!seen[at]) Gone(path, *before, before->Entries()[at]);
        }
        listing_.relisted.push_back(std::move(now));
        return Flow::Continue;
    }

    // A directory new to the tree: watched first, then listed, every entry new.
    Flow Walk(const std::string& path) {
        if (!relisted_.insert(path).second) return Flow::Continue;
        WatchNew(path);
        const auto directory = rt::TDirectory::Open(path);
        TRelisted now{path, {}, {}};
        if (directory) {
            for (const std::string& name : Names(*directory, path)) {
                const rt::EntryStatus entry = directory->Query(name);
                if (!Counts(path, name, entry)) continue;
                if (Add(now, *directory, name, entry) == Flow::Stop) return Flow::Stop;
            }
        }
        listing_.relisted.push_back(std::move(now));
        return Flow::Continue;
    }

    void WatchNew(const std::string& path) {
        if (!listing_.unwatched.empty()) return;
        std::string failure;
        switch (watch_.Add(path, failure)) {
            case rt::TTreeWatch::Added::Done: return;
            case rt::TTreeWatch::Added::LimitReached: listing_.limitReached = true; break;
            case rt::TTreeWatch::Added::Failed: break;
        }
        if (rt::PathExists(path))
            listing_.unwatched = path + " cannot be watched (" + failure + ")";
    }

    std::vector<std::string> Names(rt::TDirectory& directory, const std::string& path) const {
        std::vector<std::string> names;
        for (std::string name = directory.NextName(); !name.empty(); name = directory.NextName()) {
            if (name != "." && name != ".." && !Excluded(path, name, false) &&
                links_.Admits(directory, path, name)) {
                names.push_back(std::move(name));
            }
        }
        return names;
    }

    // As the scan counts entries: a file or directory, neither excluded nor one of the
    // program's own files.
    bool Counts(const std::string& path, const std::string& name,
                const rt::EntryStatus& entry) const {
        if (!entry.Answered() || entry.kind == rt::ENTRY_NONE) return false;
        if (entry.kind == rt::ENTRY_DIR) return !Excluded(path, name, true);
        // By path too: the journal of this run's own transaction is newer than the identities.
        return !own_.HoldsIdentity(entry.identity) && !own_.Holds(path, name);
    }

    // A pattern for directories alone needs the entry's kind: it is asked again with it.
    bool Excluded(const std::string& path, const std::string& name, bool directory) const {
        return !exclusions_.Empty() &&
               exclusions_.Excludes(RelativeEntryPath(run_.dir, path, name), directory);
    }

    Flow Add(TRelisted& now, const rt::TDirectory& directory, const std::string& name,
             const rt::EntryStatus& entry) {
        const bool isDirectory = entry.kind == rt::ENTRY_DIR;
        const std::string ident = isDirectory ? std::string() : IdentOf(directory, name, entry);
        now.directory.Add(name, ident, isDirectory);
        now.changes.push_back(TEntryChange::New);
        if (isDirectory) FoundDirectory(now.path, name, entry);
        return PollStep(app_);
    }

    Flow Compare(TRelisted& now, const TLiveDirectory& before, const TLiveEntry& old,
                 const rt::TDirectory& directory, bool named, const std::string& name,
                 const rt::EntryStatus& entry) {
        const bool isDirectory = entry.kind == rt::ENTRY_DIR;
        const std::string_view oldIdent = before.Ident(old);
        std::string ident;
        if (!isDirectory) {
            // A digest is made again only for a file an event named.
            const bool same = run_.md5 && !old.directory && !named;
            ident = same ? std::string(oldIdent) : IdentOf(directory, name, entry);
        }
        if (old.directory && !isDirectory) GoneBelow(rt::JoinEntryPath(now.path, name));
        if (!old.directory && isDirectory) FoundDirectory(now.path, name, entry);
        if (old.directory && isDirectory && named) {
            queued_.push_back({rt::JoinEntryPath(now.path, name), false});
        }
        const bool same = ident == oldIdent && isDirectory == old.directory;
        TLiveEntry& kept = now.directory.Add(name, ident, isDirectory);
        kept.currentId = old.currentId;
        kept.previousId = old.previousId;
        now.changes.push_back(same ? TEntryChange::Same : TEntryChange::Changed);
        return PollStep(app_);
    }

    void Keep(TRelisted& now, const TLiveDirectory& before, const TLiveEntry& old) {
        TLiveEntry& kept = now.directory.Add(before.Name(old), before.Ident(old), old.directory);
        kept.currentId = old.currentId;
        kept.previousId = old.previousId;
        now.changes.push_back(TEntryChange::Same);
    }

    std::string IdentOf(const rt::TDirectory& directory, const std::string& name,
                        const rt::EntryStatus& entry) const {
        if (!run_.md5) return std::to_string(entry.size);
        const auto file = directory.OpenFile(name);
        const std::string digest = md5OfFile(file.get(), MD5_CHUNK_SIZE);
        // As the scan marks a file it cannot read: an empty identity would make it a directory.
        return digest.empty() ? "-1" : digest;
    }

    // A directory new to the tree is walked, unless it leads back to a directory on its own
    // path (a link closing a cycle), whose row alone is kept, as the scan keeps it.
    void FoundDirectory(const std::string& parent, const std::string& name,
                        const rt::EntryStatus& entry) {
        for (std::string up = parent;;) {
            rt::FileIdentity identity;
            if (rt::FileIdentityOf(up, identity) && identity == entry.identity) return;
            const std::size_t separator = up.rfind(rt::PATH_SEPARATOR);
            if (up.size() <= list_.Root().size() || separator == std::string::npos) break;
            up.resize(separator);
        }
        queued_.push_back({rt::JoinEntryPath(parent, name), true});
    }

    void Gone(const std::string& parent, const TLiveDirectory& before, const TLiveEntry& old) {
        const std::string path = rt::JoinEntryPath(parent, before.Name(old));
        listing_.gone.push_back({path, old.directory, old.currentId, old.previousId});
        if (old.directory) GoneBelow(path);
    }

    void GoneBelow(const std::string& path) {
        const TLiveDirectory* directory = list_.Directory(path);
        if (!directory) return;
        listing_.goneDirectories.push_back(path);
        goneDirectories_.insert(path);
        for (const TLiveEntry& entry : directory->Entries()) Gone(path, *directory, entry);
    }

    bool GoneInThisRun(const std::string& path) const {
        for (std::string up = path;;) {
            if (goneDirectories_.contains(up)) return true;
            const std::size_t separator = up.rfind(rt::PATH_SEPARATOR);
            if (separator == std::string::npos || up.size() <= list_.Root().size()) return false;
            up.resize(separator);
        }
    }

    Application& app_;
    RunVariables& run_;
    TLiveList& list_;
    const TOwnFiles& own_;
    rt::TTreeWatch& watch_;
    TIncrementalListing& listing_;
    const TLinkRule links_{run_.links, run_.dir};
    const TExclusionRule exclusions_{run_.exclusions};
    std::deque<Queued> queued_;
    std::unordered_set<std::string> relisted_;
    std::unordered_set<std::string> goneDirectories_;
};

}  // namespace

Flow ListChanges(Application& app, TLiveList& list, const TOwnFiles& own, rt::TTreeWatch& watch,
                 const std::vector<TNamedDirectory>& named, TIncrementalListing& listing) {
    return TListChanges(app, list, own, watch, listing).Run(named);
}

}  // namespace app
