#pragma once
// The Long Test Results page: the long test's maximum dry density (typed and shown in the
// current unit, kept in pcf) and optimum moisture, with their ratings against the fit.
#include <string>

#include "views/control_ids.h"
#include "views/tab_page.h"

class CLongTestPage : public CTabPage {
  Q_OBJECT
 public:
  using enum ctl::long_test::Id;

  CLongTestPage(const QRect& tabRect, QWidget* parent);

  bool OnInitDialog() override;
  void RefreshPage() override;
  void DoDataExchange(DataExchange& dx) override;

  void OnDensityChange();
  void OnMoistureChange();
  void OnDensityFocusOut();
  void OnMoistureFocusOut();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::string DensityRating() const;
  std::string MoistureRating() const;

  std::string m_strDensity = "0.0";
};
