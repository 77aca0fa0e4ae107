#ifndef AIDA_IHISTOGRAMFACTORY_H
#define AIDA_IHISTOGRAMFACTORY_H

#include <string>
#include <vector>

namespace AIDA {

class IBaseHistogram;
class ICloud1D;
class ICloud2D;
class ICloud3D;
class IHistogram1D;
class IHistogram2D;
class IHistogram3D;
class IProfile1D;
class IProfile2D;

// Creates histograms, clouds and profiles in the tree that the factory was
// made for. A path is relative to the tree's current folder unless it
// begins with '/'; its last part names the object. The tree owns what is
// created. Every creator returns null when it cannot create the object.
// A `pathAndTitle` names the object and, by its last part, its title.
class IHistogramFactory {
public:
    virtual ~IHistogramFactory() {}

    // Removes an object from its tree and deletes it.
    virtual bool destroy(IBaseHistogram* hist) = 0;

    // Unbinned collections of points; a positive `nMax` turns the cloud
    // into a histogram after that many entries.
    virtual ICloud1D* createCloud1D(const std::string& path, const std::string& title, int nMax = -1,
                                    const std::string& options = "") = 0;
    virtual ICloud1D* createCloud1D(const std::string& pathAndTitle) = 0;
    virtual ICloud1D* createCopy(const std::string& path, const ICloud1D& cloud) = 0;
    virtual ICloud2D* createCloud2D(const std::string& path, const std::string& title, int nMax = -1,
                                    const std::string& options = "") = 0;
    virtual ICloud2D* createCloud2D(const std::string& pathAndTitle) = 0;
    virtual ICloud2D* createCopy(const std::string& path, const ICloud2D& cloud) = 0;
    virtual ICloud3D* createCloud3D(const std::string& path, const std::string& title, int nMax = -1,
                                    const std::string& options = "") = 0;
    virtual ICloud3D* createCloud3D(const std::string& pathAndTitle) = 0;
    virtual ICloud3D* createCopy(const std::string& path, const ICloud3D& cloud) = 0;

    // `nBins` bins of equal width from `lowerEdge` to `upperEdge`, or the
    // bins between successive `binEdges` (at least two, increasing).
    virtual IHistogram1D* createHistogram1D(const std::string& path, const std::string& title, int nBins,
                                            double lowerEdge, double upperEdge,
                                            const std::string& options = "") = 0;
    virtual IHistogram1D* createHistogram1D(const std::string& pathAndTitle, int nBins, double lowerEdge,
                                            double upperEdge) = 0;
    virtual IHistogram1D* createHistogram1D(const std::string& path, const std::string& title,
                                            const std::vector<double>& binEdges,
                                            const std::string& options = "") = 0;
    virtual IHistogram1D* createCopy(const std::string& path, const IHistogram1D& hist) = 0;

    virtual IHistogram2D* createHistogram2D(const std::string& path, const std::string& title, int nBinsX,
                                            double lowerEdgeX, double upperEdgeX, int nBinsY, double lowerEdgeY,
                                            double upperEdgeY, const std::string& options = "") = 0;
    virtual IHistogram2D* createHistogram2D(const std::string& pathAndTitle, int nBinsX, double lowerEdgeX,
                                            double upperEdgeX, int nBinsY, double lowerEdgeY,
                                            double upperEdgeY) = 0;
    virtual IHistogram2D* createHistogram2D(const std::string& path, const std::string& title,
                                            const std::vector<double>& binEdgesX,
                                            const std::vector<double>& binEdgesY,
                                            const std::string& options = "") = 0;
    virtual IHistogram2D* createCopy(const std::string& path, const IHistogram2D& hist) = 0;

    virtual IHistogram3D* createHistogram3D(const std::string& path, const std::string& title, int nBinsX,
                                            double lowerEdgeX, double upperEdgeX, int nBinsY, double lowerEdgeY,
                                            double upperEdgeY, int nBinsZ, double lowerEdgeZ, double upperEdgeZ,
                                            const std::string& options = "") = 0;
    virtual IHistogram3D* createHistogram3D(const std::string& pathAndTitle, int nBinsX, double lowerEdgeX,
                                            double upperEdgeX, int nBinsY, double lowerEdgeY, double upperEdgeY,
                                            int nBinsZ, double lowerEdgeZ, double upperEdgeZ) = 0;
    virtual IHistogram3D* createHistogram3D(const std::string& path, const std::string& title,
                                            const std::vector<double>& binEdgesX,
                                            const std::vector<double>& binEdgesY,
                                            const std::vector<double>& binEdgesZ,
                                            const std::string& options = "") = 0;
    virtual IHistogram3D* createCopy(const std::string& path, const IHistogram3D& hist) = 0;

    // Profiles: the mean of a value per bin, optionally only of values
    // between `lowerValue` and `upperValue`.
    virtual IProfile1D* createProfile1D(const std::string& path, const std::string& title, int nBins,
                                        double lowerEdge, double upperEdge, const std::string& options = "") = 0;
    virtual IProfile1D* createProfile1D(const std::string& path, const std::string& title, int nBins,
                                        double lowerEdge, double upperEdge, double lowerValue, double upperValue,
                                        const std::string& options = "") = 0;
    virtual IProfile1D* createProfile1D(const std::string& path, const std::string& title,
                                        const std::vector<double>& binEdges, const std::string& options = "") = 0;
    virtual IProfile1D* createProfile1D(const std::string& path, const std::string& title,
                                        const std::vector<double>& binEdges, double lowerValue,
                                        double upperValue, const std::string& options = "") = 0;
    virtual IProfile1D* createProfile1D(const std::string& pathAndTitle, int nBins, double lowerEdge,
                                        double upperEdge) = 0;
    virtual IProfile1D* createProfile1D(const std::string& pathAndTitle, int nBins, double lowerEdge,
                                        double upperEdge, double lowerValue, double upperValue) = 0;
    virtual IProfile1D* createCopy(const std::string& path, const IProfile1D& profile) = 0;

    virtual IProfile2D* createProfile2D(const std::string& path, const std::string& title, int nBinsX,
                                        double lowerEdgeX, double upperEdgeX, int nBinsY, double lowerEdgeY,
                                        double upperEdgeY, const std::string& options = "") = 0;
    virtual IProfile2D* createProfile2D(const std::string& path, const std::string& title, int nBinsX,
                                        double lowerEdgeX, double upperEdgeX, int nBinsY, double lowerEdgeY,
                                        double upperEdgeY, double lowerValue, double upperValue,
                                        const std::string& options = "") = 0;
    virtual IProfile2D* createProfile2D(const std::string& path, const std::string& title,
                                        const std::vector<double>& binEdgesX,
                                        const std::vector<double>& binEdgesY,
                                        const std::string& options = "") = 0;
    virtual IProfile2D* createProfile2D(const std::string& path, const std::string& title,
                                        const std::vector<double>& binEdgesX,
                                        const std::vector<double>& binEdgesY, double lowerValue,
                                        double upperValue, const std::string& options = "") = 0;
    virtual IProfile2D* createProfile2D(const std::string& pathAndTitle, int nBinsX, double lowerEdgeX,
                                        double upperEdgeX, int nBinsY, double lowerEdgeY,
                                        double upperEdgeY) = 0;
    virtual IProfile2D* createProfile2D(const std::string& pathAndTitle, int nBinsX, double lowerEdgeX,
                                        double upperEdgeX, int nBinsY, double lowerEdgeY, double upperEdgeY,
                                        double lowerValue, double upperValue) = 0;
    virtual IProfile2D* createCopy(const std::string& path, const IProfile2D& profile) = 0;

    // Bin by bin arithmetic of two histograms of the same binning, stored
    // as a new histogram at `path`.
    virtual IHistogram1D* add(const std::string& path, const IHistogram1D& hist1, const IHistogram1D& hist2) = 0;
    virtual IHistogram1D* subtract(const std::string& path, const IHistogram1D& hist1,
                                   const IHistogram1D& hist2) = 0;
    virtual IHistogram1D* multiply(const std::string& path, const IHistogram1D& hist1,
                                   const IHistogram1D& hist2) = 0;
    virtual IHistogram1D* divide(const std::string& path, const IHistogram1D& hist1,
                                 const IHistogram1D& hist2) = 0;
    virtual IHistogram2D* add(const std::string& path, const IHistogram2D& hist1, const IHistogram2D& hist2) = 0;
    virtual IHistogram2D* subtract(const std::string& path, const IHistogram2D& hist1,
                                   const IHistogram2D& hist2) = 0;
    virtual IHistogram2D* multiply(const std::string& path, const IHistogram2D& hist1,
                                   const IHistogram2D& hist2) = 0;
    virtual IHistogram2D* divide(const std::string& path, const IHistogram2D& hist1,
                                 const IHistogram2D& hist2) = 0;
    virtual IHistogram3D* add(const std::string& path, const IHistogram3D& hist1, const IHistogram3D& hist2) = 0;
    virtual IHistogram3D* subtract(const std::string& path, const IHistogram3D& hist1,
                                   const IHistogram3D& hist2) = 0;
    virtual IHistogram3D* multiply(const std::string& path, const IHistogram3D& hist1,
                                   const IHistogram3D& hist2) = 0;
    virtual IHistogram3D* divide(const std::string& path, const IHistogram3D& hist1,
                                 const IHistogram3D& hist2) = 0;

    // Projections onto one axis (over all bins of the other, or over the
    // bins from index1 to index2) and slices at one bin or a bin range.
    virtual IHistogram1D* projectionX(const std::string& path, const IHistogram2D& hist) = 0;
    virtual IHistogram1D* projectionY(const std::string& path, const IHistogram2D& hist) = 0;
    virtual IHistogram1D* sliceX(const std::string& path, const IHistogram2D& hist, int indexY) = 0;
    virtual IHistogram1D* sliceY(const std::string& path, const IHistogram2D& hist, int indexX) = 0;
    virtual IHistogram1D* sliceX(const std::string& path, const IHistogram2D& hist, int indexY1,
                                 int indexY2) = 0;
    virtual IHistogram1D* sliceY(const std::string& path, const IHistogram2D& hist, int indexX1,
                                 int indexX2) = 0;
    virtual IHistogram2D* projectionXY(const std::string& path, const IHistogram3D& hist) = 0;
    virtual IHistogram2D* projectionXZ(const std::string& path, const IHistogram3D& hist) = 0;
    virtual IHistogram2D* projectionYZ(const std::string& path, const IHistogram3D& hist) = 0;
    virtual IHistogram2D* sliceXY(const std::string& path, const IHistogram3D& hist, int lowIndexZ,
                                  int highIndexZ) = 0;
    virtual IHistogram2D* sliceXZ(const std::string& path, const IHistogram3D& hist, int lowIndexY,
                                  int highIndexY) = 0;
    virtual IHistogram2D* sliceYZ(const std::string& path, const IHistogram3D& hist, int lowIndexX,
                                  int highIndexX) = 0;
};

}  // namespace AIDA

#endif
