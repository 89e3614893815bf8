// The window (read_ahead_pool.h): which entries are asked for ahead of the
// walk, in what order, and which queued task gives way to a nearer one.
// Everything here runs under the pool's lock.
#include <iterator>

#include "platform/path.h"
#include "search/read_ahead_pool.h"

namespace vudo::read_ahead {
namespace {

// What the walk will want done for an entry that has nothing asked for yet:
// a subdirectory's listing, or, for a Contains search, a matching file's scan.
bool Wanted(const Pool& pool, const ListedEntry& entry) {
  if (entry.ticket) return false;
  if (entry.kind == platform::EntryKind::kDirectory) return true;
  return pool.forms && entry.kind == platform::EntryKind::kFile && entry.match == ListedEntry::kMatches;
}

// Queues the task for the entry at the listing's cursor.
void Ask(Pool& pool, OpenListing& listing) {
  const std::size_t index = listing.cursor;
  ListedEntry& entry = listing.listing.entries[index];
  Task task;
  const bool directory = entry.kind == platform::EntryKind::kDirectory;
  task.kind = directory ? Kind::kList : Kind::kScan;
  task.path.reserve(listing.path.size() + listing.listing.NameLength(entry) + 1);
  task.path.append(listing.path).append(listing.listing.Name(entry));
  // Above the start folders the names are paths, with their separators.
  if (directory && !platform::IsSeparator(task.path.back())) task.path += platform::kSeparator;
  task.place = listing.next;
  task.owner = listing.shared_from_this();
  task.entry = index;
  if (!directory) task.directory = listing.listing.directory;
  Ticket ticket = pool.next++;
  if (ticket == 0) ticket = pool.next++;
  (directory ? pool.lists : pool.scans).emplace(task.place, ticket);
  pool.tasks.emplace(ticket, std::move(task));
  entry.ticket = ticket;
  Settle(pool, listing, index + 1);
}

// Makes room for the entry at `nearer`: the farthest task still queued gives
// way when it lies beyond, and its entry goes back to wanting one, to be
// asked for again as the walk comes nearer. Tasks running or done never give
// way, so no work is thrown away. False when none gives way.
bool Displace(Pool& pool, const Place& nearer) {
  std::map<Place, Ticket>* farthest = nullptr;
  for (auto* queue : {&pool.lists, &pool.scans})
    if (!queue->empty() && (!farthest || farthest->rbegin()->first < queue->rbegin()->first)) farthest = queue;
  if (!farthest || !(nearer < farthest->rbegin()->first)) return false;
  const auto last = std::prev(farthest->end());
  const Ticket ticket = last->second;
  farthest->erase(last);
  const auto it = pool.tasks.find(ticket);
  if (it == pool.tasks.end()) return true;
  const std::shared_ptr<OpenListing> owner = std::move(it->second.owner);
  const std::size_t entry = it->second.entry;
  pool.tasks.erase(it);
  owner->listing.entries[entry].ticket = 0;
  if (entry < owner->cursor) Settle(pool, *owner, entry);
  return true;
}

}  // namespace

void Settle(Pool& pool, OpenListing& listing, std::size_t from) {
  const auto& entries = listing.listing.entries;
  std::size_t cursor = from;
  while (cursor < entries.size() && !Wanted(pool, entries[cursor])) ++cursor;
  listing.cursor = cursor;
  const bool wants = cursor < entries.size() && !listing.closed;
  const auto index = static_cast<std::uint32_t>(listing.listing.first + cursor);
  if (listing.waits) {
    // Moved to its new place without a new key: the node keeps its own.
    auto node = pool.open.extract(listing.next);
    listing.waits = wants;
    if (!wants) return;
    node.key().back() = index;
    listing.next.back() = index;
    pool.open.insert(std::move(node));
  } else if (wants) {
    listing.next = listing.place;
    listing.next.push_back(index);
    pool.open.emplace(listing.next, listing.shared_from_this());
    listing.waits = true;
  }
}

void Refill(Pool& pool) {
  if (pool.threads.empty()) return;  // none to do it: the walk does everything itself
  bool asked = false;
  while (!pool.open.empty()) {
    if (pool.tasks.size() >= pool.window && !Displace(pool, pool.open.begin()->first)) break;
    Ask(pool, *pool.open.begin()->second);
    asked = true;
  }
  if (asked && pool.idle > 0) pool.work.notify_all();
}

void Withdraw(Pool& pool, OpenListing& listing) {
  if (!listing.waits) return;
  pool.open.erase(listing.next);
  listing.waits = false;
}

void Close(Pool& pool, OpenListing& listing) {
  listing.closed = true;
  Withdraw(pool, listing);
}

}  // namespace vudo::read_ahead
