#pragma once
// Connectable plug: the base of every object and property.
//
// A plug keeps one array of connections: first its sources, then its
// destinations. Connecting a -> b records a among b's sources and b among a's
// destinations (only the first when the connection is one-way). Plugs may
// belong to an owner plug (a property to its object); a forwarded plug hands
// connection requests on to its owner.
//
// Most plugs of a scene (the properties) are never connected nor listened
// to, so everything beyond the owner and the flags lives in a block made on
// first use: an untouched plug costs three words.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/plug_memory.h"

enum YrConnectionType : int {
  kYrConnectionTypeNone = 0,
  kYrConnectionTypeSystem = 1,
  // Asks for a one-way connection: the source does not record the destination.
  kYrConnectionTypeUnidirectional = 2,
};

// Plug flag bits.
enum VPlugFlag : std::uint8_t {
  kPlugAcceptsSrc = 1,        // may receive source connections
  kPlugAcceptsDst = 2,        // may receive destination connections
  kPlugOneWay = 4,            // connections onto this plug are one-way
  kPlugForwarded = 8,         // connection requests climb to the owner
  kPlugNoOwnerNotify = 16,    // broadcasts go to the listeners, not the owner
};

// Notification codes handed to VPlug::PlugNotify.
enum VPlugNotification : int {
  kPlugNotifyRequestSrc = 0,        // may `partner` become a source? (refusable)
  kPlugNotifyRequestDst = 1,        // may `partner` become a destination? (refusable)
  kPlugNotifySrcAdded = 2,          // `partner` is about to be recorded as source
  kPlugNotifyDstAdded = 3,          // `partner` is about to be recorded as destination
  kPlugNotifySrcRemoved = 4,        // source `partner` was removed
  kPlugNotifyDstRemoved = 5,        // destination `partner` was removed
  kPlugNotifyOwnerSrcIndex = 6,     // owner gained source `partner`; data: int* index
  kPlugNotifyOwnerDstIndex = 7,     // owner gained destination `partner`; data: int* index
  kPlugNotifySrcMoved = 8,          // the source list was reordered
  kPlugNotifyBeginChange = 10,      // broadcast by the outermost BeginChange
  kPlugNotifyEndChange = 11,        // broadcast by the outermost EndChange
  kPlugNotifyRenameRequest = 25,    // broadcast, refusable; data: VRenameData*
  kPlugNotifyRenameDone = 26,       // broadcast; data: VRenameData*
  kPlugNotifyValueChanged = 27,     // broadcast by properties whose value changed
  kPlugNotifyDefinitionChanged = 29,// broadcast: minimum, maximum or items changed
  kPlugNotifyListChanged = 30,      // broadcast: properties or sub-objects added/removed
};

class VPlug {
 public:
  explicit VPlug(std::uint8_t flags = kPlugAcceptsSrc | kPlugAcceptsDst);
  VPlug(const VPlug&) = delete;
  VPlug& operator=(const VPlug&) = delete;
  // Disconnects from every partner, leaves its owner and listeners.
  virtual ~VPlug();

  // Plugs made with new come from the plugs' own memory (core/plug_memory.h).
  static void* operator new(std::size_t size) { return VPlugAllocate(size); }
  static void operator delete(void* memory, std::size_t size) { VPlugFree(memory, size); }

  // Class id of the plug's class (0 for plain plugs).
  virtual int GetClassId() const { return 0; }
  // Acceptance filter of the plug's class: may `partner` be connected here?
  virtual bool AcceptsPartner(const VPlug* partner) const;
  // Receives notifications. Answers false to refuse a request (codes 0, 1, 25).
  virtual bool PlugNotify(int code, VPlug* partner, void* data);

  std::uint8_t GetPlugFlags() const { return mPlugFlags; }
  void SetPlugFlags(std::uint8_t flags) { mPlugFlags = flags; }
  void SetPlugFlag(std::uint8_t bit, bool on);
  bool HasPlugFlag(std::uint8_t bit) const { return (mPlugFlags & bit) != 0; }

  // --- connections; `ConnectSrc(a)` on b is a -> b -----------------------
  bool ConnectSrc(VPlug* src, int type = kYrConnectionTypeNone);
  bool ConnectDst(VPlug* dst, int type = kYrConnectionTypeNone);
  // Inserts the new source (destination) before entry `index` of this plug's
  // list; an index out of range appends.
  bool ConnectSrcAt(int index, VPlug* src, int type = kYrConnectionTypeNone);
  bool ConnectDstAt(int index, VPlug* dst, int type = kYrConnectionTypeNone);
  // src -> dst with dst placed before entry `srcIndex` of src's destinations
  // and src before entry `dstIndex` of dst's sources (-1: at the end).
  static bool ConnectAt(VPlug* src, int srcIndex, VPlug* dst, int dstIndex,
                        int type = kYrConnectionTypeNone);
  // The full algorithm; `oneWay` asks for a one-way connection.
  static bool Connect(VPlug* src, VPlug* dst, int type, int dstSrcIndex, int srcDstIndex,
                      bool oneWay);
  // Removes src -> dst (climbing to forwarded owners when the plugs themselves
  // are not connected).
  static bool Disconnect(VPlug* src, VPlug* dst);

  bool DisconnectSrc(VPlug* src) { return Disconnect(src, this); }
  bool DisconnectDst(VPlug* dst) { return Disconnect(this, dst); }
  bool DisconnectAllSrc();
  bool DisconnectAllDst();
  bool DisconnectSrcAt(int index);
  bool DisconnectDstAt(int index);
  // Replaces the source (destination) at `index` with `plug`, keeping the
  // position. Fails, changing nothing, when the new connection is refused.
  bool ReplaceSrcAt(int index, VPlug* plug, int type = kYrConnectionTypeNone);
  bool ReplaceDstAt(int index, VPlug* plug, int type = kYrConnectionTypeNone);
  // Exchanges two source entries / moves one before entry `to` of the
  // sources (`to` equal to the source count: to the end). A change of order
  // advances the connection serial and notifies kPlugNotifySrcMoved.
  bool SwapSrc(int a, int b);
  bool MoveSrc(int from, int to);

  int GetSrcCount() const { return mLinks ? mLinks->srcCount : 0; }
  VPlug* GetSrc(int index) const;
  int GetSrcType(int index) const;
  int GetDstCount() const {
    return mLinks ? static_cast<int>(mLinks->connections.size()) - mLinks->srcCount : 0;
  }
  VPlug* GetDst(int index) const;
  int GetDstType(int index) const;
  int FindSrc(const VPlug* plug) const;  // -1 when absent
  int FindDst(const VPlug* plug) const;
  bool IsConnectedTo(const VPlug* dst) const { return FindDst(dst) >= 0; }

  // Nested change brackets; the outermost pair broadcasts codes 10 and 11.
  void BeginChange();
  bool EndChange();
  int GetChangeDepth() const { return mLinks ? mLinks->changeDepth : 0; }

  // --- ownership ---------------------------------------------------------
  VPlug* GetOwner() const { return mOwner; }
  int GetOwnerCount() const { return mOwner ? 1 : 0; }
  // Those a derived class keeps in a list of its own first (an object's
  // properties), then the others in the order they joined.
  int GetOwnedCount() const { return KeptCount() + (mLinks ? static_cast<int>(mLinks->owned.size()) : 0); }
  VPlug* GetOwned(int index) const;
  // Leaves the old owner and joins `owner` (null: none). Refuses a cycle.
  bool SetOwner(VPlug* owner);

  // --- broadcast notifications --------------------------------------------
  // Listeners receive this plug's broadcasts (when it has no owner or flag 16).
  void AddListener(VPlug* listener);
  bool RemoveListener(VPlug* listener);
  // Whether the plug has made its connection and listener lists.
  bool HasLinks() const { return mLinks != nullptr; }
  int GetListenerCount() const { return mLinks ? static_cast<int>(mLinks->listeners.size()) : 0; }
  // Hands a notification to the owner (when there is one and flag 16 is
  // clear), else to the listeners, last added first, then to this plug.
  // Answers false when anyone refused.
  bool Broadcast(int code, void* data = nullptr);
  // Hands a notification to the listeners only, last added first. Listeners
  // may add and remove listeners meanwhile: one added is not called by this
  // walk, one removed before its turn is not called, and every other one is
  // called exactly once.
  bool NotifyListeners(int code, VPlug* origin, void* data);

 protected:
  // Every owned plug leaves this one at once, ahead of an owner destroying
  // them all (none of them then has to find itself in the list).
  void ReleaseOwned();

  // Owned plugs that a derived class lists itself (an object lists its
  // properties anyway): they join and leave without entering the plug's
  // own list, and are counted first among the owned plugs.
  virtual int KeptCount() const { return 0; }
  virtual VPlug* Kept(int index) const;
  // The kept plugs that exist already, in order (a derived class may make
  // kept plugs on request; one not made takes no notices).
  virtual int MadeKeptCount() const { return KeptCount(); }
  virtual VPlug* MadeKept(int index) const { return Kept(index); }
  // `plug`, without an owner, joins as a kept plug; false when that would
  // make a cycle of owners.
  bool AdoptKept(VPlug* plug);
  // A kept plug leaves (the derived class drops it from its list).
  static void ReleaseKept(VPlug* plug) { plug->mOwner = nullptr; }

 private:
  struct Connection {
    VPlug* plug;
    int type;
  };
  // One NotifyListeners in progress: the index of the next listener to call,
  // walking down, and the walk it is nested in.
  struct ListenerWalk {
    std::ptrdiff_t next;
    ListenerWalk* outer;
  };

  void InsertSrc(int index, VPlug* plug, int type);
  void InsertDst(int index, VPlug* plug, int type);
  void EraseAt(std::size_t position, bool isSrc);
  void NotifyOwnedOfIndex(VPlug* partner, int index, bool isSrc);
  static bool Accepts(VPlug* s, VPlug* d, bool oneWay);
  void SourcesReordered();
  // Removes a listener from the list, adjusting the walks in progress.
  bool DropListener(const VPlug* listener);

  struct Links {
    std::vector<Connection> connections;  // sources, then destinations
    int srcCount = 0;
    int changeDepth = 0;
    // Plugs holding this one as a one-way source (not in the destinations),
    // so that they can be told when this plug dies.
    std::vector<VPlug*> oneWayDsts;
    std::vector<VPlug*> owned;
    std::vector<VPlug*> listeners;   // plugs listening to this one
    std::vector<VPlug*> listening;   // plugs this one listens to
    ListenerWalk* listenerWalks = nullptr;  // innermost walk of listeners
  };
  Links& L() {
    if (!mLinks) mLinks = std::make_unique<Links>();
    return *mLinks;
  }

  std::unique_ptr<Links> mLinks;
  VPlug* mOwner = nullptr;
  std::uint8_t mPlugFlags;
};

// Data of the rename notifications 25 and 26.
struct VRenameData {
  const char* oldName;
  const char* newName;
};
