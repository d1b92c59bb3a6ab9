#pragma once
// The document summary of a binary scene file: an extension section whose
// "Summary" block counts the content and lists the takes, so that a file can
// be described without reading its scene.

class VScene;
class VZynFile;

// Writes the summary into a new extension section (reusing the last one
// when the file has one). The main section must be complete.
bool VZynWriteDocumentSummary(VZynFile& file, const VScene& scene, bool password_protected);
