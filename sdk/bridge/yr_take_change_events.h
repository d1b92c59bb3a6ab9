#pragma once
// Announces the take changes of a scene as kYrEventTakeChange events of the
// event registry (this header is not public: the kernel binds its scene).

class VScene;

namespace YrSDK {

// Binds once per scene; the binding ends with the scene's take list.
void YrAnnounceTakeChanges(VScene& scene);

}  // namespace YrSDK
