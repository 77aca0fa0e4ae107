#ifndef AIDA_AIDA_H
#define AIDA_AIDA_H

// All AIDA interfaces of the system.

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IAnnotation.h"
#include "AIDA/IAxis.h"
#include "AIDA/IAxisStyle.h"
#include "AIDA/IBaseHistogram.h"
#include "AIDA/IBaseStyle.h"
#include "AIDA/IDataPoint.h"
#include "AIDA/IDataPointSet.h"
#include "AIDA/IDataPointSetFactory.h"
#include "AIDA/IDataStyle.h"
#include "AIDA/IFillStyle.h"
#include "AIDA/IHistogram.h"
#include "AIDA/IHistogram1D.h"
#include "AIDA/IHistogram2D.h"
#include "AIDA/IHistogramFactory.h"
#include "AIDA/IInfo.h"
#include "AIDA/ILineStyle.h"
#include "AIDA/IManagedObject.h"
#include "AIDA/IMarkerStyle.h"
#include "AIDA/IMeasurement.h"
#include "AIDA/IPlotter.h"
#include "AIDA/IPlotterFactory.h"
#include "AIDA/IPlotterLayout.h"
#include "AIDA/IPlotterRegion.h"
#include "AIDA/IPlotterStyle.h"
#include "AIDA/ITextStyle.h"
#include "AIDA/ITitleStyle.h"
#include "AIDA/ITree.h"
#include "AIDA/ITreeFactory.h"
#include "AIDA/ITuple.h"
#include "AIDA/ITupleFactory.h"

#endif
