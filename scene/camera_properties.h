#pragma once
// Creates a camera's own properties, in their order, after the transform
// properties.

class VCamera;

void VAddCameraProperties(VCamera& camera);
