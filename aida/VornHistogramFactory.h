#ifndef ZARN_AIDA_VORNHISTOGRAMFACTORY_H
#define ZARN_AIDA_VORNHISTOGRAMFACTORY_H

#include <string>
#include <vector>

#include "AIDA/IHistogramFactory.h"

// The built-in AIDA system's histogram factory: creates nothing. Every
// creator returns null and destroy returns false.
// Threads: any thread.
class VornHistogramFactory : public AIDA::IHistogramFactory {
public:
    VornHistogramFactory();
    ~VornHistogramFactory() override;

    bool destroy(AIDA::IBaseHistogram* hist) override;
    AIDA::ICloud1D* createCloud1D(const std::string& path, const std::string& title, int nMax,
                                  const std::string& options) override;
    AIDA::ICloud1D* createCloud1D(const std::string& pathAndTitle) override;
    AIDA::ICloud1D* createCopy(const std::string& path, const AIDA::ICloud1D& cloud) override;
    AIDA::ICloud2D* createCloud2D(const std::string& path, const std::string& title, int nMax,
                                  const std::string& options) override;
    AIDA::ICloud2D* createCloud2D(const std::string& pathAndTitle) override;
    AIDA::ICloud2D* createCopy(const std::string& path, const AIDA::ICloud2D& cloud) override;
    AIDA::ICloud3D* createCloud3D(const std::string& path, const std::string& title, int nMax,
                                  const std::string& options) override;
    AIDA::ICloud3D* createCloud3D(const std::string& pathAndTitle) override;
    AIDA::ICloud3D* createCopy(const std::string& path, const AIDA::ICloud3D& cloud) override;
    AIDA::IHistogram1D* createHistogram1D(const std::string& path, const std::string& title, int nBins,
                                          double lowerEdge, double upperEdge, const std::string& options) override;
    AIDA::IHistogram1D* createHistogram1D(const std::string& pathAndTitle, int nBins, double lowerEdge,
                                          double upperEdge) override;
    AIDA::IHistogram1D* createHistogram1D(const std::string& path, const std::string& title,
                                          const std::vector<double>& binEdges, const std::string& options) override;
    AIDA::IHistogram1D* createCopy(const std::string& path, const AIDA::IHistogram1D& hist) override;
    AIDA::IHistogram2D* createHistogram2D(const std::string& path, const std::string& title, int nBinsX,
                                          double lowerEdgeX, double upperEdgeX, int nBinsY, double lowerEdgeY,
                                          double upperEdgeY, const std::string& options) override;
    AIDA::IHistogram2D* createHistogram2D(const std::string& pathAndTitle, int nBinsX, double lowerEdgeX,
                                          double upperEdgeX, int nBinsY, double lowerEdgeY, double upperEdgeY) override;
    AIDA::IHistogram2D* createHistogram2D(const std::string& path, const std::string& title,
                                          const std::vector<double>& binEdgesX, const std::vector<double>& binEdgesY,
                                          const std::string& options) override;
    AIDA::IHistogram2D* createCopy(const std::string& path, const AIDA::IHistogram2D& hist) override;
    AIDA::IHistogram3D* createHistogram3D(const std::string& path, const std::string& title, int nBinsX,
                                          double lowerEdgeX, double upperEdgeX, int nBinsY, double lowerEdgeY,
                                          double upperEdgeY, int nBinsZ, double lowerEdgeZ, double upperEdgeZ,
                                          const std::string& options) override;
    AIDA::IHistogram3D* createHistogram3D(const std::string& pathAndTitle, int nBinsX, double lowerEdgeX,
                                          double upperEdgeX, int nBinsY, double lowerEdgeY, double upperEdgeY,
                                          int nBinsZ, double lowerEdgeZ, double upperEdgeZ) override;
    AIDA::IHistogram3D* createHistogram3D(const std::string& path, const std::string& title,
                                          const std::vector<double>& binEdgesX, const std::vector<double>& binEdgesY,
                                          const std::vector<double>& binEdgesZ, const std::string& options) override;
    AIDA::IHistogram3D* createCopy(const std::string& path, const AIDA::IHistogram3D& hist) override;
    AIDA::IProfile1D* createProfile1D(const std::string& path, const std::string& title, int nBins, double lowerEdge,
                                      double upperEdge, const std::string& options) override;
    AIDA::IProfile1D* createProfile1D(const std::string& path, const std::string& title, int nBins, double lowerEdge,
                                      double upperEdge, double lowerValue, double upperValue,
                                      const std::string& options) override;
    AIDA::IProfile1D* createProfile1D(const std::string& path, const std::string& title,
                                      const std::vector<double>& binEdges, const std::string& options) override;
    AIDA::IProfile1D* createProfile1D(const std::string& path, const std::string& title,
                                      const std::vector<double>& binEdges, double lowerValue, double upperValue,
                                      const std::string& options) override;
    AIDA::IProfile1D* createProfile1D(const std::string& pathAndTitle, int nBins, double lowerEdge,
                                      double upperEdge) override;
    AIDA::IProfile1D* createProfile1D(const std::string& pathAndTitle, int nBins, double lowerEdge, double upperEdge,
                                      double lowerValue, double upperValue) override;
    AIDA::IProfile1D* createCopy(const std::string& path, const AIDA::IProfile1D& profile) override;
    AIDA::IProfile2D* createProfile2D(const std::string& path, const std::string& title, int nBinsX, double lowerEdgeX,
                                      double upperEdgeX, int nBinsY, double lowerEdgeY, double upperEdgeY,
                                      const std::string& options) override;
    AIDA::IProfile2D* createProfile2D(const std::string& path, const std::string& title, int nBinsX, double lowerEdgeX,
                                      double upperEdgeX, int nBinsY, double lowerEdgeY, double upperEdgeY,
                                      double lowerValue, double upperValue, const std::string& options) override;
    AIDA::IProfile2D* createProfile2D(const std::string& path, const std::string& title,
                                      const std::vector<double>& binEdgesX, const std::vector<double>& binEdgesY,
                                      const std::string& options) override;
    AIDA::IProfile2D* createProfile2D(const std::string& path, const std::string& title,
                                      const std::vector<double>& binEdgesX, const std::vector<double>& binEdgesY,
                                      double lowerValue, double upperValue, const std::string& options) override;
    AIDA::IProfile2D* createProfile2D(const std::string& pathAndTitle, int nBinsX, double lowerEdgeX, double upperEdgeX,
                                      int nBinsY, double lowerEdgeY, double upperEdgeY) override;
    AIDA::IProfile2D* createProfile2D(const std::string& pathAndTitle, int nBinsX, double lowerEdgeX, double upperEdgeX,
                                      int nBinsY, double lowerEdgeY, double upperEdgeY, double lowerValue,
                                      double upperValue) override;
    AIDA::IProfile2D* createCopy(const std::string& path, const AIDA::IProfile2D& profile) override;
    AIDA::IHistogram1D* add(const std::string& path, const AIDA::IHistogram1D& hist1,
                            const AIDA::IHistogram1D& hist2) override;
    AIDA::IHistogram1D* subtract(const std::string& path, const AIDA::IHistogram1D& hist1,
                                 const AIDA::IHistogram1D& hist2) override;
    AIDA::IHistogram1D* multiply(const std::string& path, const AIDA::IHistogram1D& hist1,
                                 const AIDA::IHistogram1D& hist2) override;
    AIDA::IHistogram1D* divide(const std::string& path, const AIDA::IHistogram1D& hist1,
                               const AIDA::IHistogram1D& hist2) override;
    AIDA::IHistogram2D* add(const std::string& path, const AIDA::IHistogram2D& hist1,
                            const AIDA::IHistogram2D& hist2) override;
    AIDA::IHistogram2D* subtract(const std::string& path, const AIDA::IHistogram2D& hist1,
                                 const AIDA::IHistogram2D& hist2) override;
    AIDA::IHistogram2D* multiply(const std::string& path, const AIDA::IHistogram2D& hist1,
                                 const AIDA::IHistogram2D& hist2) override;
    AIDA::IHistogram2D* divide(const std::string& path, const AIDA::IHistogram2D& hist1,
                               const AIDA::IHistogram2D& hist2) override;
    AIDA::IHistogram3D* add(const std::string& path, const AIDA::IHistogram3D& hist1,
                            const AIDA::IHistogram3D& hist2) override;
    AIDA::IHistogram3D* subtract(const std::string& path, const AIDA::IHistogram3D& hist1,
                                 const AIDA::IHistogram3D& hist2) override;
    AIDA::IHistogram3D* multiply(const std::string& path, const AIDA::IHistogram3D& hist1,
                                 const AIDA::IHistogram3D& hist2) override;
    AIDA::IHistogram3D* divide(const std::string& path, const AIDA::IHistogram3D& hist1,
                               const AIDA::IHistogram3D& hist2) override;
    AIDA::IHistogram1D* projectionX(const std::string& path, const AIDA::IHistogram2D& hist) override;
    AIDA::IHistogram1D* projectionY(const std::string& path, const AIDA::IHistogram2D& hist) override;
    AIDA::IHistogram1D* sliceX(const std::string& path, const AIDA::IHistogram2D& hist, int indexY) override;
    AIDA::IHistogram1D* sliceY(const std::string& path, const AIDA::IHistogram2D& hist, int indexX) override;
    AIDA::IHistogram1D* sliceX(const std::string& path, const AIDA::IHistogram2D& hist, int indexY1,
                               int indexY2) override;
    AIDA::IHistogram1D* sliceY(const std::string& path, const AIDA::IHistogram2D& hist, int indexX1,
                               int indexX2) override;
    AIDA::IHistogram2D* projectionXY(const std::string& path, const AIDA::IHistogram3D& hist) override;
    AIDA::IHistogram2D* projectionXZ(const std::string& path, const AIDA::IHistogram3D& hist) override;
    AIDA::IHistogram2D* projectionYZ(const std::string& path, const AIDA::IHistogram3D& hist) override;
    AIDA::IHistogram2D* sliceXY(const std::string& path, const AIDA::IHistogram3D& hist, int lowIndexZ,
                                int highIndexZ) override;
    AIDA::IHistogram2D* sliceXZ(const std::string& path, const AIDA::IHistogram3D& hist, int lowIndexY,
                                int highIndexY) override;
    AIDA::IHistogram2D* sliceYZ(const std::string& path, const AIDA::IHistogram3D& hist, int lowIndexX,
                                int highIndexX) override;
};

#endif
