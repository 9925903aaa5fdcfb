// The VCard page's 22 fields in one table, in the order of the tab key (down the left column,
// then down the right one): each field's option and column name in marbeck-cli, its caption on
// the page and the member of the page record it fills. The window lays its grid out from the
// table's order and marbeck-cli makes its options and batch columns from it, so a field is
// named once.
#pragma once

#include "payload/Payload.h"

#include <array>
#include <string>
#include <string_view>

struct TVCardField {
  std::string_view Option;  // marbeck-cli's option (without "--") and batch column
  std::string_view Caption; // the label on the page, ASCII
  std::u16string TVCardPage::*Member;
};

inline constexpr std::array<TVCardField, 22> kVCardFields{{
    {"contact-name", "Contact Name", &TVCardPage::ContactName},
    {"first-name", "First Name", &TVCardPage::FirstName},
    {"last-name", "Last Name", &TVCardPage::LastName},
    {"middle-name", "Middle Name", &TVCardPage::MiddleName},
    {"phone-home", "Phone home", &TVCardPage::PhonePrivate},
    {"cell-phone-private", "Cell Phone private", &TVCardPage::PhoneCellPrivate},
    {"email-private", "eMail private", &TVCardPage::EmailPrivate},
    {"website-private", "Website private", &TVCardPage::WebsitePrivate},
    {"street-home", "Street home", &TVCardPage::StreetHome},
    {"city-home", "City home", &TVCardPage::CityHome},
    {"zip-code-home", "ZIP Code home", &TVCardPage::ZIPCodeHome},
    {"birthday", "Birthday [yyyy.mm.dd]", &TVCardPage::Birthday},
    {"company", "Company", &TVCardPage::Company},
    {"department", "Department", &TVCardPage::Department},
    {"job-title", "Job Title", &TVCardPage::JobTitle},
    {"phone-work", "Phone Work", &TVCardPage::PhoneWork},
    {"cell-phone-work", "Cell Phone work", &TVCardPage::CellPhoneWork},
    {"email-work", "eMail work", &TVCardPage::EmailWork},
    {"website-work", "Website work", &TVCardPage::WebsiteWork},
    {"street-work", "Street work", &TVCardPage::Streetwork},
    {"city-work", "City work", &TVCardPage::CityWork},
    {"zip-code-work", "ZIP Code work", &TVCardPage::ZIPCodeWork},
}};
