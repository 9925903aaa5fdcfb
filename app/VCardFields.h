// The VCard page's 22 fields in one table: caption, place on the page, the window's edit field
// and the member of the page record it stands for. The page's layout, VCardPage() and
// SetVCardPage() all walk this table, so a field is named once.
#pragma once

#include "Unit1.h"

#include <QLineEdit>
#include <string>

struct TVCardField {
  const char* Caption;
  int Column; // 0: the left column, 1: the right column
  int Row;    // 0 at the top, one row every 25 pixels
  QLineEdit* TForm1::*Edit;
  std::u16string TVCardPage::*Value;
};

// In the order of the tab key: down the left column, then down the right one.
inline constexpr TVCardField kVCardFields[] = {
    {"Contact Name", 0, 0, &TForm1::ContactName, &TVCardPage::ContactName},
    {"First Name", 0, 1, &TForm1::FirstName, &TVCardPage::FirstName},
    {"Last Name", 0, 2, &TForm1::LastName, &TVCardPage::LastName},
    {"Middle Name", 0, 3, &TForm1::MiddleName, &TVCardPage::MiddleName},
    {"Phone home", 0, 4, &TForm1::PhonePrivate, &TVCardPage::PhonePrivate},
    {"Cell Phone private", 0, 5, &TForm1::PhoneCellPrivate, &TVCardPage::PhoneCellPrivate},
    {"eMail private", 0, 6, &TForm1::EmailPrivate, &TVCardPage::EmailPrivate},
    {"Website private", 0, 7, &TForm1::WebsitePrivate, &TVCardPage::WebsitePrivate},
    {"Street home", 0, 8, &TForm1::StreetHome, &TVCardPage::StreetHome},
    {"City home", 0, 9, &TForm1::CityHome, &TVCardPage::CityHome},
    {"ZIP Code home", 0, 10, &TForm1::ZIPCodeHome, &TVCardPage::ZIPCodeHome},
    {"Birthday [yyyy.mm.dd]", 1, 0, &TForm1::Birthday, &TVCardPage::Birthday},
    {"Company", 1, 1, &TForm1::Company, &TVCardPage::Company},
    {"Department", 1, 2, &TForm1::Department, &TVCardPage::Department},
    {"Job Title", 1, 3, &TForm1::JobTitle, &TVCardPage::JobTitle},
    {"Phone Work", 1, 4, &TForm1::PhoneWork, &TVCardPage::PhoneWork},
    {"Cell Phone work", 1, 5, &TForm1::CellPhoneWork, &TVCardPage::CellPhoneWork},
    {"eMail work", 1, 6, &TForm1::EmailWork, &TVCardPage::EmailWork},
    {"Website work", 1, 7, &TForm1::WebsiteWork, &TVCardPage::WebsiteWork},
    {"Street work", 1, 8, &TForm1::Streetwork, &TVCardPage::Streetwork},
    {"City work", 1, 9, &TForm1::CityWork, &TVCardPage::CityWork},
    {"ZIP Code work", 1, 10, &TForm1::ZIPCodeWork, &TVCardPage::ZIPCodeWork},
};
