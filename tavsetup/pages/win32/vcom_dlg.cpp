#include "tavsetup/pages/win32/vcom_dlg.h"

#include <new>

#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/pages/page_services.h"
#include "tavsetup/res/resource.h"

namespace tav::setup {

CVComDlg::CVComDlg(const PageServices& services) : CPageDlg(IDD_VCOM_DIALOG, VComPageLayout()) {
    m_pLogic.reset(new (std::nothrow)
                       DriverTypePage(*this, services.Printer(), services.driverType));
}

void CVComDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_VCOM_TITLE, m_stcTitle);
    DDX_Control(pDX, IDC_VCOM_REFRESH, m_btnRefresh);
    DDX_Control(pDX, IDC_VCOM_GROUP, m_grpCurrent);
    DDX_Control(pDX, IDC_VCOM_LABEL, m_stcLabel);
    DDX_Control(pDX, IDC_VCOM_VALUE, m_stcValue);
    DDX_Control(pDX, IDC_VCOM_PRINTER_DRIVER, m_rdoPrinterDriver);
    DDX_Control(pDX, IDC_VCOM_SERIAL_DRIVER, m_rdoSerialDriver);
    DDX_Control(pDX, IDC_VCOM_APPLY, m_btnApply);
}

}  // namespace tav::setup
