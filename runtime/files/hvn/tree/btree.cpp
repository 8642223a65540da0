// Search, insertion, splitting and deletion in the HVN tree.
#include "runtime/files/hvn/tree/btree.h"

#include <algorithm>

namespace vaultrix::files::hvn {
namespace {

using Records = std::vector<Record>;

Records::iterator LowerBound(Records& records, const std::string& key) {
  return std::lower_bound(records.begin(), records.end(), key,
                          [](const Record& r, const std::string& k) { return r.key < k; });
}

Records::iterator UpperBound(Records& records, const std::string& key) {
  return std::upper_bound(records.begin(), records.end(), key,
                          [](const std::string& k, const Record& r) { return k < r.key; });
}

}  // namespace

bool NeedsSplit(const PageContent& page) {
  const std::uint32_t bound = SizeBound(page);
  return bound > kSplitBound || (bound > kSplitBoundMany && page.records.size() > kSplitCount);
}

int Tree::Descend(const std::string& key, std::vector<Step>* path, Page** leaf) {
  path->clear();
  // One allocation for the whole way down, however deep (an ADD descends
  // once per key).
  path->reserve(8);
  Page* page = nullptr;
  if (int code = file_.Fetch(file_.root(), &page); code != 0) return code;
  while (page->content.level > 0) {
    if (page->content.children.empty()) return file_.Damage(__LINE__);
    const std::size_t slot = PageFile::ChildSlot(page->content, key);
    path->push_back({page, slot});
    const int level = page->content.level;
    if (int code = file_.Fetch(page->content.children[slot], &page); code != 0) return code;
    if (page->content.level != level - 1) return file_.Damage(__LINE__);
  }
  *leaf = page;
  return 0;
}

// Descends from the child named by the path's last step to the first or last
// leaf below it, extending the path.
void Tree::NotePath(const Page* leaf, const std::vector<Step>& path) {
  PageFile::TreePath saved;
  saved.reserve(path.size());
  for (const Step& step : path) saved.emplace_back(step.page, step.slot);
  file_.NotePath(leaf, std::move(saved));
}

int Tree::Edge(bool first, std::vector<Step>* path, Page** leaf) {
  const Step& step = path->back();
  int level = step.page->content.level;
  Page* page = nullptr;
  if (int code = file_.Fetch(step.page->content.children[step.slot], &page); code != 0) return code;
  while (true) {
    if (page->content.level != level - 1) return file_.Damage(__LINE__);
    if (page->content.level == 0) break;
    if (page->content.children.empty()) return file_.Damage(__LINE__);
    const std::size_t slot = first ? 0 : page->content.children.size() - 1;
    path->push_back({page, slot});
    level = page->content.level;
    if (int code = file_.Fetch(page->content.children[slot], &page); code != 0) return code;
  }
  *leaf = page;
  return 0;
}

int Tree::Find(const std::string& key, Record* record, bool* found) {
  *found = false;
  if (int code = Search(key, Seek::kAtOrBefore, record, found); code != 0) return code;
  if (*found && record->key != key) *found = false;
  return 0;
}

int Tree::Search(const std::string& key, Seek seek, Record* record, bool* found) {
  const Record* hit = nullptr;
  *found = false;
  if (int code = Locate(key, seek, &hit); code != 0 || hit == nullptr) return code;
  *record = *hit;
  *found = true;
  return 0;
}

int Tree::Locate(const std::string& key, Seek seek, const Record** record, Page** leaf) {
  Page* holder = nullptr;
  if (leaf == nullptr) leaf = &holder;
  *leaf = nullptr;
  if (int code = LocateIn(key, seek, record, leaf); code != 0 || *record == nullptr) return code;
  // A damaged file may hold keys out of order; every caller that walks the
  // tree relies on each answer lying beyond the key it asked from.
  const std::string& at = (*record)->key;
  const bool beyond = seek == Seek::kAtOrAfter    ? !(at < key)
                      : seek == Seek::kAfter      ? key < at
                      : seek == Seek::kAtOrBefore ? !(key < at)
                                                  : at < key;
  if (beyond) return 0;
  *record = nullptr;
  *leaf = nullptr;
  return file_.Damage(__LINE__);
}

namespace {

// The index of the answer inside one leaf, or npos when it lies beyond the
// leaf. `known` is the index of the record with exactly the key, or npos.
std::size_t InLeaf(Records& records, const std::string& key, Seek seek, std::size_t known) {
  constexpr std::size_t kNone = std::string::npos;
  const bool forward = seek == Seek::kAtOrAfter || seek == Seek::kAfter;
  if (known != kNone) {
    switch (seek) {
      case Seek::kAtOrAfter:
      case Seek::kAtOrBefore:
        return known;
      case Seek::kAfter:
        return known + 1 < records.size() ? known + 1 : kNone;
      case Seek::kBefore:
        return known > 0 ? known - 1 : kNone;
    }
  }
  auto it = (seek == Seek::kAtOrAfter || seek == Seek::kBefore) ? LowerBound(records, key)
                                                                : UpperBound(records, key);
  if (forward) return it != records.end() ? static_cast<std::size_t>(it - records.begin()) : kNone;
  return it != records.begin() ? static_cast<std::size_t>(it - records.begin()) - 1 : kNone;
}

}  // namespace

int Tree::LocateIn(const std::string& key, Seek seek, const Record** record, Page** found) {
  *record = nullptr;
  if (file_.root() == kNoPage) return 0;
  std::size_t known = std::string::npos;
  Page* hinted = file_.HintedLeaf(key, &known);
  if (hinted != nullptr) {
    const std::size_t at = InLeaf(hinted->content.records, key, seek, known);
    if (at != std::string::npos) {
      *record = &hinted->content.records[at];
      *found = hinted;
      file_.NoteLeaf(hinted, at);
      return 0;
    }
  }
  std::vector<Step> path;
  Page* leaf = nullptr;
  const bool forward = seek == Seek::kAtOrAfter || seek == Seek::kAfter;
  if (const PageFile::TreePath* saved = hinted != nullptr ? file_.PathTo(hinted) : nullptr) {
    // The answer lies beyond the hinted leaf, whose way down is known.
    for (const auto& [page, slot] : *saved) path.push_back({page, slot});
    leaf = hinted;
  } else {
    if (int code = Descend(key, &path, &leaf); code != 0) return code;
    const std::size_t at = InLeaf(leaf->content.records, key, seek, std::string::npos);
    if (at != std::string::npos) {
      *record = &leaf->content.records[at];
      *found = leaf;
      file_.NoteLeaf(leaf, at);
      NotePath(leaf, path);
      return 0;
    }
  }
  // Step into the neighbouring leaf, skipping any that are empty.
  while (true) {
    while (!path.empty() &&
           (forward ? path.back().slot + 1 >= path.back().page->content.children.size()
                    : path.back().slot == 0)) {
      path.pop_back();
    }
    if (path.empty()) return 0;
    path.back().slot = forward ? path.back().slot + 1 : path.back().slot - 1;
    if (int code = Edge(forward, &path, &leaf); code != 0) return code;
    if (!leaf->content.records.empty()) {
      const std::size_t edge = forward ? 0 : leaf->content.records.size() - 1;
      *record = &leaf->content.records[edge];
      *found = leaf;
      file_.NoteLeaf(leaf, edge);
      NotePath(leaf, path);
      return 0;
    }
  }
}

int Tree::Insert(Record record) {
  if (file_.root() == kNoPage) {
    Page* root = file_.Create(0);
    root->content.records.push_back(std::move(record));
    file_.set_root(root->ref);
    return 0;
  }
  if (InsertIntoHintedLeaf(record)) return 0;
  std::vector<Step> path;
  Page* leaf = nullptr;
  if (int code = Descend(record.key, &path, &leaf); code != 0) return code;
  Records& records = leaf->content.records;
  auto it = LowerBound(records, record.key);
  file_.MarkDirty(leaf);
  if (it != records.end() && it->key == record.key) {
    Wipe(it->data);
    it->data = std::move(record.data);
    if (!NeedsSplit(leaf->content)) return 0;
  } else {
    const bool at_front = it == records.begin();
    const std::string& key = records.insert(it, std::move(record))->key;
    // Keep the index keys of the leftmost path no greater than their subtree.
    for (std::size_t i = path.size(); at_front && i-- > 0;) {
      Record& index = path[i].page->content.records[path[i].slot];
      if (key >= index.key) break;
      file_.MarkDirty(path[i].page);
      index.key = key;
      if (path[i].slot != 0) break;
    }
  }
  // Split bottom-up along the path.
  Page* page = leaf;
  for (std::size_t i = path.size(); i-- > 0;) {
    if (int code = SplitChild(page, path[i].page, path[i].slot); code != 0) return code;
    page = path[i].page;
  }
  return SplitRoot();
}

bool Tree::InsertIntoHintedLeaf(Record& record) {
  std::size_t known = std::string::npos;
  Page* leaf = file_.HintedLeaf(record.key, &known);
  if (leaf == nullptr) return false;
  // The leaf spans the key (its first key <= the key <= its last): the
  // record belongs in it, and never becomes its first, so no index key
  // above changes. Only an insertion that needs no split is taken here.
  Records& records = leaf->content.records;
  const auto it = known != std::string::npos ? records.begin() + static_cast<std::ptrdiff_t>(known)
                                             : LowerBound(records, record.key);
  const bool replaces = it != records.end() && it->key == record.key;
  const std::uint32_t bound = SizeBound(leaf->content) -
                              (replaces ? RecordBound(*it, false) : 0) +
                              RecordBound(record, false);
  const std::size_t count = records.size() + (replaces ? 0 : 1);
  if (bound > kSplitBound || (bound > kSplitBoundMany && count > kSplitCount)) return false;
  const std::ptrdiff_t at = it - records.begin();
  file_.MarkDirty(leaf);
  if (replaces) {
    Wipe(records[static_cast<std::size_t>(at)].data);
    records[static_cast<std::size_t>(at)].data = std::move(record.data);
  } else {
    records.insert(records.begin() + at, std::move(record));
  }
  return true;
}

int Tree::SplitChild(Page* page, Page* parent, std::size_t slot) {
  PageContent& content = page->content;
  if (!NeedsSplit(content) || content.records.size() < 2) return 0;
  const std::size_t middle = content.records.size() / 2;
  Page* sibling = file_.Create(content.level);
  file_.MarkDirty(page);
  file_.MarkDirty(parent);
  auto& moved = sibling->content;
  moved.records.assign(std::make_move_iterator(content.records.begin() + middle),
                       std::make_move_iterator(content.records.end()));
  content.records.resize(middle);
  if (content.level > 0) {
    moved.children.assign(content.children.begin() + middle, content.children.end());
    content.children.resize(middle);
  }
  parent->content.records.insert(parent->content.records.begin() + slot + 1,
                                 Record{moved.records.front().key, {}});
  parent->content.children.insert(parent->content.children.begin() + slot + 1, sibling->ref);
  if (int code = SplitChild(sibling, parent, slot + 1); code != 0) return code;
  return SplitChild(page, parent, slot);
}

int Tree::SplitRoot() {
  Page* root = nullptr;
  if (int code = file_.Fetch(file_.root(), &root); code != 0) return code;
  if (!NeedsSplit(root->content) || root->content.records.size() < 2) return 0;
  Page* child = file_.Create(root->content.level);
  file_.MarkDirty(root);
  child->content = std::move(root->content);
  root->content = PageContent();
  root->content.level = static_cast<std::uint8_t>(child->content.level + 1);
  root->content.records.push_back({child->content.records.front().key, {}});
  root->content.children.push_back(child->ref);
  return SplitChild(child, root, 0);
}

int Tree::Erase(const std::string& key, bool* erased) {
  *erased = false;
  if (file_.root() == kNoPage) return 0;
  std::vector<Step> path;
  Page* leaf = nullptr;
  if (int code = Descend(key, &path, &leaf); code != 0) return code;
  Records& records = leaf->content.records;
  auto it = LowerBound(records, key);
  if (it == records.end() || it->key != key) return 0;
  file_.MarkDirty(leaf);
  Wipe(it->key);
  Wipe(it->data);
  records.erase(it);
  *erased = true;
  if (records.empty()) {
    if (int code = RemoveEmpty(path, leaf); code != 0) return code;
  } else if (int code = MergeSmall(path, leaf); code != 0) {
    return code;
  }
  return CollapseRoot();
}

int Tree::RemoveEmpty(std::vector<Step>& path, Page* page) {
  while (page->content.records.empty()) {
    if (path.empty()) {
      file_.set_root(kNoPage);
      file_.Discard(page);
      return 0;
    }
    Step step = path.back();
    path.pop_back();
    file_.Discard(page);
    file_.MarkDirty(step.page);
    step.page->content.records.erase(step.page->content.records.begin() + step.slot);
    step.page->content.children.erase(step.page->content.children.begin() + step.slot);
    page = step.page;
  }
  return 0;
}

int Tree::MergeSmall(std::vector<Step>& path, Page* page) {
  if (path.empty() || SizeBound(page->content) > kSplitBoundMany / 2) return 0;
  Step step = path.back();
  PageContent& parent = step.page->content;
  if (step.slot + 1 >= parent.children.size()) {
    if (step.slot == 0) return 0;
    // The last child merges into its left neighbour instead.
    Page* left = nullptr;
    if (int code = file_.Fetch(parent.children[step.slot - 1], &left); code != 0) return code;
    std::swap(left, page);
    step.slot -= 1;
  }
  Page* right = nullptr;
  if (int code = file_.Fetch(parent.children[step.slot + 1], &right); code != 0) return code;
  const std::uint32_t bound =
      SizeBound(page->content) + SizeBound(right->content) - kPageHeaderSize;
  if (bound > kSplitBoundMany) return 0;
  file_.MarkDirty(page);
  file_.MarkDirty(step.page);
  file_.MarkDirty(right);  // emptied here, before it leaves the tree
  for (Record& record : right->content.records) page->content.records.push_back(std::move(record));
  right->content.records.clear();
  page->content.children.insert(page->content.children.end(), right->content.children.begin(),
                                right->content.children.end());
  parent.records.erase(parent.records.begin() + step.slot + 1);
  parent.children.erase(parent.children.begin() + step.slot + 1);
  file_.Discard(right);
  return 0;
}

int Tree::CollapseRoot() {
  while (file_.root() != kNoPage) {
    Page* root = nullptr;
    if (int code = file_.Fetch(file_.root(), &root); code != 0) return code;
    if (root->content.level == 0 || root->content.children.size() != 1) return 0;
    Page* child = nullptr;
    if (int code = file_.Fetch(root->content.children.front(), &child); code != 0) return code;
    file_.MarkDirty(root);
    file_.MarkDirty(child);  // emptied here, before it leaves the tree
    Wipe(root->content.records);
    root->content = std::move(child->content);
    child->content = PageContent();
    file_.Discard(child);
  }
  return 0;
}

}  // namespace vaultrix::files::hvn
