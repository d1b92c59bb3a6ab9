#pragma once
// Registers the creation functions of every storable object type under
// "ZynStorable/" + type name ("ZynStorable/Model", ...). Safe to call more
// than once.

void VSceneRegisterObjectFactories();

// The object types of a scene document in the order they are written.
extern const char* const kVSceneObjectTypes[];
extern const int kVSceneObjectTypeCount;
