#pragma once
// The Long Test Results page: the long test's maximum dry density (typed and shown in the
// current unit, kept in pcf) and optimum moisture, with their ratings against the fit.
#include <string>

#include "views/tab_page.h"

class CLongTestPage : public CTabPage {
  Q_OBJECT
 public:
  enum {
    IDC_DENSITY = 1003, IDC_MOISTURE = 1004, IDC_UNIT_PCF = 1005, IDC_UNIT_METRIC = 1006,
    IDC_DENSITY_RATING = 1007, IDC_MOISTURE_RATING = 1008
  };

  CLongTestPage(const QRect& tabRect, QWidget* parent);

  bool OnInitDialog() override;
  void RefreshPage() override;
  void DoDataExchange(DataExchange& dx) override;

  void OnDensityChange();
  void OnMoistureChange();
  void OnDensityFocusOut();
  void OnMoistureFocusOut();

  const std::string& DensityText() const { return m_strDensity; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::string DensityRating() const;
  std::string MoistureRating() const;

  std::string m_strDensity = "0.0";
};
