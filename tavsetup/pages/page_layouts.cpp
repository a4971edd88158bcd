#include "tavsetup/pages/page_layouts.h"

#include "tavsetup/res/resource.h"

namespace tav::setup {

const PageLayout& SerIdPageLayout() {
    static const PageLayout layout{
        {{IDC_SERID_TITLE, IDS_SERID_TITLE},
         {IDC_SERID_APPLY, IDS_APPLY},
         {IDC_SERID_REFRESH, IDS_REFRESH},
         {IDC_SERID_GROUP, IDS_CURRENT_SETTING},
         {IDC_SERID_AUTO, IDS_SERIAL_AUTO},
         {IDC_SERID_MANUAL, IDS_SERIAL_MANUAL},
         {IDC_SERID_UNDEFINED, IDS_SERIAL_UNDEFINED}},
        IDC_SERID_REFRESH,
        IDC_SERID_LABEL,
        IDC_SERID_VALUE,
        {IDC_SERID_AUTO, IDC_SERID_MANUAL, IDC_SERID_UNDEFINED, IDC_SERID_EDIT, IDC_SERID_APPLY},
        {IDC_SERID_AUTO, IDC_SERID_MANUAL, IDC_SERID_UNDEFINED},
        IDC_SERID_APPLY};
    return layout;
}

const PageLayout& VComPageLayout() {
    static const PageLayout layout{
        {{IDC_VCOM_TITLE, IDS_VCOM_TITLE},
         {IDC_VCOM_APPLY, IDS_APPLY},
         {IDC_VCOM_REFRESH, IDS_REFRESH},
         {IDC_VCOM_GROUP, IDS_CURRENT_SETTING},
         {IDC_VCOM_PRINTER_DRIVER, IDS_PRINTER_DRIVER},
         {IDC_VCOM_SERIAL_DRIVER, IDS_VCOM_DRIVER}},
        IDC_VCOM_REFRESH,
        IDC_VCOM_LABEL,
        IDC_VCOM_VALUE,
        {IDC_VCOM_PRINTER_DRIVER, IDC_VCOM_SERIAL_DRIVER, IDC_VCOM_APPLY},
        {IDC_VCOM_PRINTER_DRIVER, IDC_VCOM_SERIAL_DRIVER},
        IDC_VCOM_APPLY};
    return layout;
}

const PageLayout& BidiPageLayout() {
    static const PageLayout layout{{{IDC_BIDI_TITLE, IDS_BIDI_TITLE},
                                    {IDC_BIDI_APPLY, IDS_APPLY},
                                    {IDC_BIDI_REFRESH, IDS_REFRESH},
                                    {IDC_BIDI_GROUP, IDS_CURRENT_SETTING},
                                    {IDC_BIDI_RECEIVE, IDS_RECEIVE},
                                    {IDC_BIDI_NOT_RECEIVE, IDS_NOT_RECEIVE}},
                                   IDC_BIDI_REFRESH,
                                   IDC_BIDI_LABEL,
                                   IDC_BIDI_VALUE,
                                   {IDC_BIDI_RECEIVE, IDC_BIDI_NOT_RECEIVE, IDC_BIDI_APPLY},
                                   {IDC_BIDI_RECEIVE, IDC_BIDI_NOT_RECEIVE},
                                   IDC_BIDI_APPLY};
    return layout;
}

}  // namespace tav::setup
