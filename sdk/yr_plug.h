#pragma once
// YrPlug: public handle over an engine plug (object or property). A handle
// does not own its plug; an empty handle answers false, 0 and empty handles.

class VPlug;

namespace YrSDK {

// How a connection behaves (the engine's own numbering).
enum YrConnectionType : int {
  kYrConnectionTypeNone = 0,
  kYrConnectionTypeSystem = 1,
  // Asks for a one-way connection: the source does not record the destination.
  kYrConnectionTypeUnidirectional = 2,
};

class YrPlug {
 public:
  YrPlug() = default;
  explicit YrPlug(VPlug* plug);
  virtual ~YrPlug() = default;

  bool IsValid() const { return mPlug != nullptr; }
  friend bool operator==(const YrPlug& a, const YrPlug& b) { return a.mPlug == b.mPlug; }
  friend bool operator!=(const YrPlug& a, const YrPlug& b) { return a.mPlug != b.mPlug; }

  bool ConnectSrc(const YrPlug& src, YrConnectionType type = kYrConnectionTypeNone);
  bool ConnectDst(const YrPlug& dst, YrConnectionType type = kYrConnectionTypeNone);
  bool ConnectSrcAt(int index, const YrPlug& src, YrConnectionType type = kYrConnectionTypeNone);
  bool ConnectDstAt(int index, const YrPlug& dst, YrConnectionType type = kYrConnectionTypeNone);
  // src -> dst, dst placed before entry srcIndex of src's destinations and src
  // before entry dstIndex of dst's sources.
  static bool ConnectAt(const YrPlug& src, int srcIndex, const YrPlug& dst, int dstIndex,
                        YrConnectionType type = kYrConnectionTypeNone);
  bool DisconnectSrc(const YrPlug& src);
  bool DisconnectDst(const YrPlug& dst);
  bool DisconnectAllSrc();
  bool DisconnectAllDst();
  bool DisconnectSrcAt(int index);
  bool DisconnectDstAt(int index);
  bool ReplaceSrcAt(int index, const YrPlug& src, YrConnectionType type = kYrConnectionTypeNone);
  bool ReplaceDstAt(int index, const YrPlug& dst, YrConnectionType type = kYrConnectionTypeNone);
  bool SwapSrc(int a, int b);
  bool MoveSrc(int from, int to);

  int GetSrcCount() const;
  YrPlug GetSrc(int index) const;
  YrConnectionType GetSrcType(int index) const;
  int GetDstCount() const;
  YrPlug GetDst(int index) const;
  YrConnectionType GetDstType(int index) const;

  void BeginChange();
  void EndChange();

  YrPlug GetOwner() const;
  int GetOwnerCount() const;
  YrPlug GetOwned(int index) const;
  int GetOwnedCount() const;

 protected:
  // The engine object behind the handle: sdk/bridge/yr_engine_handles.h.
  friend class YrEngineHandles;
  VPlug* mPlug = nullptr;
};

}  // namespace YrSDK
