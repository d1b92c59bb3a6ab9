// The facade grows with the engine; this unit keeps the library non-empty.
namespace YrSDK {
int YrSdkVersion() { return 1; }
}  // namespace YrSDK
