#ifndef ZARN_MODULES_COMMON_AIDAACCESS_AIDAACCESS_H
#define ZARN_MODULES_COMMON_AIDAACCESS_AIDAACCESS_H

#include <string>

class Corvane;
namespace AIDA {
class IAnalysisFactory;
class IBaseHistogram;
class IHistogramFactory;
class IPlotter;
class ITree;
}  // namespace AIDA

// How modules reach the AIDA system that the flow manager loaded, and the
// conventions they share in its tree: every module gets the one memory
// tree of the AIDA system, whose current folder is shared state, so a
// module always sets the folder itself before relative operations; objects
// that a module replaces go to the trash folder and are never deleted.
//
// Threads: the flow's creating thread and the flow thread, one at a time,
// like the modules that call these.
namespace aidaaccess {

// The folder into which replaced objects are moved.
extern const char* const kTrashFolder;

// The analysis factory of the module's manager; null without a manager or
// without an AIDA system.
AIDA::IAnalysisFactory* analysisFactoryOf(Corvane& module);

// The memory tree of the AIDA system (from a tree factory that is deleted
// at once); null when the AIDA system offers none.
AIDA::ITree* createMemoryTree(AIDA::IAnalysisFactory& factory);

// A plotter of that name from a plotter factory made with the words of
// ONX_ARGS; the factory is deleted at once. Null when either is missing.
// The caller keeps the plotter or drops it, but never deletes it.
AIDA::IPlotter* createPlotter(AIDA::IAnalysisFactory& factory, const std::string& name);

// The first steps of a module's Init: the module's analysis factory, with
// `tree` set to the memory tree. Null when either is missing (`tree` is
// then null or untouched).
AIDA::IAnalysisFactory* openMemoryTree(Corvane& module, AIDA::ITree*& tree);

// Makes `folder` (with its parents) and makes it the current folder.
void enterFolder(AIDA::ITree& tree, const std::string& folder);

// openMemoryTree, then enterFolder for `folder`.
AIDA::IAnalysisFactory* openTreeAt(Corvane& module, const std::string& folder, AIDA::ITree*& tree);

// Creates the plotter `name` and shows it; false without a plotter.
bool showPlotter(AIDA::IAnalysisFactory& factory, const std::string& name);

// The Init of a histogram set kept in `folder`: the memory tree with that
// folder current, a histogram factory on it and the shown
// "HistogramViewer". False at the first step that fails; what was made
// before stays set.
bool openHistogramViewer(Corvane& module, const std::string& folder, AIDA::ITree*& tree,
                         AIDA::IHistogramFactory*& histogramFactory);

// Whether the flow's driver (the manager's instance 0) is running.
bool driverRunning(Corvane& module);

// Whether the current folder of `tree` holds an entry named `name`
// (folder or object). False for a null tree.
bool findDir(AIDA::ITree* tree, const std::string& name);

// Moves `entry` (relative to the current folder, or absolute) into the
// trash folder, making the trash folder first.
void moveToTrash(AIDA::ITree& tree, const std::string& entry);

// Adds the axis titles "Title-X" and "Title-Y" to a new histogram.
void addAxisTitles(AIDA::IBaseHistogram& histogram, const std::string& xTitle, const std::string& yTitle);

// `folder` + "/" + `name`, without doubling the root's '/'.
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace aidaaccess

#endif
