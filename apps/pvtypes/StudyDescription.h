// StudyDescription: the study of the model an executable is linked with, as
// one JSON document (global variables with their type and value in every
// experiment, and the reward-variable nodes of a terminating or
// steady-state run). Read by the study runner. Not thread-safe: it builds
// the model through the process-wide study.
#ifndef VELMOR_APPS_PVTYPES_STUDYDESCRIPTION_H
#define VELMOR_APPS_PVTYPES_STUDYDESCRIPTION_H

#include <ostream>

// Writes the description of GenerateStudy()'s study to out. Values are
// texts that the override option reads back exactly ("0.005", "3").
void WriteStudyDescription(std::ostream& out);

#endif  // VELMOR_APPS_PVTYPES_STUDYDESCRIPTION_H
