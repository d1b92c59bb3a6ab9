#pragma once
// Registers the creation functions of every storable object type under
// "ZynStorable/" + type name ("ZynStorable/Model", ...) where no creation
// function is registered yet: a creator an application registered for a
// type is kept. Safe to call more than once.

void VSceneRegisterObjectFactories();

// The object types of a scene document in the order they are written.
extern const char* const kVSceneObjectTypes[];
extern const int kVSceneObjectTypeCount;
