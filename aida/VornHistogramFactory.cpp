#include "VornHistogramFactory.h"

#include "CastrineLog.h"

VornHistogramFactory::VornHistogramFactory() { castrineSay("VornHistogramFactory::VornHistogramFactory"); }

VornHistogramFactory::~VornHistogramFactory() { castrineSay("VornHistogramFactory::~VornHistogramFactory"); }

bool VornHistogramFactory::destroy(AIDA::IBaseHistogram*) { return false; }
AIDA::ICloud1D* VornHistogramFactory::createCloud1D(const std::string&, const std::string&, int, const std::string&) {
    return nullptr;
}
AIDA::ICloud1D* VornHistogramFactory::createCloud1D(const std::string&) { return nullptr; }
AIDA::ICloud1D* VornHistogramFactory::createCopy(const std::string&, const AIDA::ICloud1D&) { return nullptr; }
AIDA::ICloud2D* VornHistogramFactory::createCloud2D(const std::string&, const std::string&, int, const std::string&) {
    return nullptr;
}
AIDA::ICloud2D* VornHistogramFactory::createCloud2D(const std::string&) { return nullptr; }
AIDA::ICloud2D* VornHistogramFactory::createCopy(const std::string&, const AIDA::ICloud2D&) { return nullptr; }
AIDA::ICloud3D* VornHistogramFactory::createCloud3D(const std::string&, const std::string&, int, const std::string&) {
    return nullptr;
}
AIDA::ICloud3D* VornHistogramFactory::createCloud3D(const std::string&) { return nullptr; }
AIDA::ICloud3D* VornHistogramFactory::createCopy(const std::string&, const AIDA::ICloud3D&) { return nullptr; }
AIDA::IHistogram1D* VornHistogramFactory::createHistogram1D(const std::string&, const std::string&, int, double, double,
                                                            const std::string&) {
    return nullptr;
}
AIDA::IHistogram1D* VornHistogramFactory::createHistogram1D(const std::string&, int, double, double) { return nullptr; }
AIDA::IHistogram1D* VornHistogramFactory::createHistogram1D(const std::string&, const std::string&,
                                                            const std::vector<double>&, const std::string&) {
    return nullptr;
}
AIDA::IHistogram1D* VornHistogramFactory::createCopy(const std::string&, const AIDA::IHistogram1D&) { return nullptr; }
AIDA::IHistogram2D* VornHistogramFactory::createHistogram2D(const std::string&, const std::string&, int, double, double,
                                                            int, double, double, const std::string&) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::createHistogram2D(const std::string&, int, double, double, int, double,
                                                            double) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::createHistogram2D(const std::string&, const std::string&,
                                                            const std::vector<double>&, const std::vector<double>&,
                                                            const std::string&) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::createCopy(const std::string&, const AIDA::IHistogram2D&) { return nullptr; }
AIDA::IHistogram3D* VornHistogramFactory::createHistogram3D(const std::string&, const std::string&, int, double, double,
                                                            int, double, double, int, double, double,
                                                            const std::string&) {
    return nullptr;
}
AIDA::IHistogram3D* VornHistogramFactory::createHistogram3D(const std::string&, int, double, double, int, double,
                                                            double, int, double, double) {
    return nullptr;
}
AIDA::IHistogram3D* VornHistogramFactory::createHistogram3D(const std::string&, const std::string&,
                                                            const std::vector<double>&, const std::vector<double>&,
                                                            const std::vector<double>&, const std::string&) {
    return nullptr;
}
AIDA::IHistogram3D* VornHistogramFactory::createCopy(const std::string&, const AIDA::IHistogram3D&) { return nullptr; }
AIDA::IProfile1D* VornHistogramFactory::createProfile1D(const std::string&, const std::string&, int, double, double,
                                                        const std::string&) {
    return nullptr;
}
AIDA::IProfile1D* VornHistogramFactory::createProfile1D(const std::string&, const std::string&, int, double, double,
                                                        double, double, const std::string&) {
    return nullptr;
}
AIDA::IProfile1D* VornHistogramFactory::createProfile1D(const std::string&, const std::string&,
                                                        const std::vector<double>&, const std::string&) {
    return nullptr;
}
AIDA::IProfile1D* VornHistogramFactory::createProfile1D(const std::string&, const std::string&,
                                                        const std::vector<double>&, double, double,
                                                        const std::string&) {
    return nullptr;
}
AIDA::IProfile1D* VornHistogramFactory::createProfile1D(const std::string&, int, double, double) { return nullptr; }
AIDA::IProfile1D* VornHistogramFactory::createProfile1D(const std::string&, int, double, double, double, double) {
    return nullptr;
}
AIDA::IProfile1D* VornHistogramFactory::createCopy(const std::string&, const AIDA::IProfile1D&) { return nullptr; }
AIDA::IProfile2D* VornHistogramFactory::createProfile2D(const std::string&, const std::string&, int, double, double,
                                                        int, double, double, const std::string&) {
    return nullptr;
}
AIDA::IProfile2D* VornHistogramFactory::createProfile2D(const std::string&, const std::string&, int, double, double,
                                                        int, double, double, double, double, const std::string&) {
    return nullptr;
}
AIDA::IProfile2D* VornHistogramFactory::createProfile2D(const std::string&, const std::string&,
                                                        const std::vector<double>&, const std::vector<double>&,
                                                        const std::string&) {
    return nullptr;
}
AIDA::IProfile2D* VornHistogramFactory::createProfile2D(const std::string&, const std::string&,
                                                        const std::vector<double>&, const std::vector<double>&, double,
                                                        double, const std::string&) {
    return nullptr;
}
AIDA::IProfile2D* VornHistogramFactory::createProfile2D(const std::string&, int, double, double, int, double, double) {
    return nullptr;
}
AIDA::IProfile2D* VornHistogramFactory::createProfile2D(const std::string&, int, double, double, int, double, double,
                                                        double, double) {
    return nullptr;
}
AIDA::IProfile2D* VornHistogramFactory::createCopy(const std::string&, const AIDA::IProfile2D&) { return nullptr; }
AIDA::IHistogram1D* VornHistogramFactory::add(const std::string&, const AIDA::IHistogram1D&,
                                              const AIDA::IHistogram1D&) {
    return nullptr;
}
AIDA::IHistogram1D* VornHistogramFactory::subtract(const std::string&, const AIDA::IHistogram1D&,
                                                   const AIDA::IHistogram1D&) {
    return nullptr;
}
AIDA::IHistogram1D* VornHistogramFactory::multiply(const std::string&, const AIDA::IHistogram1D&,
                                                   const AIDA::IHistogram1D&) {
    return nullptr;
}
AIDA::IHistogram1D* VornHistogramFactory::divide(const std::string&, const AIDA::IHistogram1D&,
                                                 const AIDA::IHistogram1D&) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::add(const std::string&, const AIDA::IHistogram2D&,
                                              const AIDA::IHistogram2D&) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::subtract(const std::string&, const AIDA::IHistogram2D&,
                                                   const AIDA::IHistogram2D&) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::multiply(const std::string&, const AIDA::IHistogram2D&,
                                                   const AIDA::IHistogram2D&) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::divide(const std::string&, const AIDA::IHistogram2D&,
                                                 const AIDA::IHistogram2D&) {
    return nullptr;
}
AIDA::IHistogram3D* VornHistogramFactory::add(const std::string&, const AIDA::IHistogram3D&,
                                              const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram3D* VornHistogramFactory::subtract(const std::string&, const AIDA::IHistogram3D&,
                                                   const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram3D* VornHistogramFactory::multiply(const std::string&, const AIDA::IHistogram3D&,
                                                   const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram3D* VornHistogramFactory::divide(const std::string&, const AIDA::IHistogram3D&,
                                                 const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram1D* VornHistogramFactory::projectionX(const std::string&, const AIDA::IHistogram2D&) { return nullptr; }
AIDA::IHistogram1D* VornHistogramFactory::projectionY(const std::string&, const AIDA::IHistogram2D&) { return nullptr; }
AIDA::IHistogram1D* VornHistogramFactory::sliceX(const std::string&, const AIDA::IHistogram2D&, int) { return nullptr; }
AIDA::IHistogram1D* VornHistogramFactory::sliceY(const std::string&, const AIDA::IHistogram2D&, int) { return nullptr; }
AIDA::IHistogram1D* VornHistogramFactory::sliceX(const std::string&, const AIDA::IHistogram2D&, int, int) {
    return nullptr;
}
AIDA::IHistogram1D* VornHistogramFactory::sliceY(const std::string&, const AIDA::IHistogram2D&, int, int) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::projectionXY(const std::string&, const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::projectionXZ(const std::string&, const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::projectionYZ(const std::string&, const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::sliceXY(const std::string&, const AIDA::IHistogram3D&, int, int) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::sliceXZ(const std::string&, const AIDA::IHistogram3D&, int, int) {
    return nullptr;
}
AIDA::IHistogram2D* VornHistogramFactory::sliceYZ(const std::string&, const AIDA::IHistogram3D&, int, int) {
    return nullptr;
}
