#include "Resources.h"
#include "resource.h"

extern const DialogTemplate kAboutDialogTemplate;
extern const DialogTemplate kLoginDialogTemplate;
extern const DialogTemplate kPassphraseDialogTemplate;
extern const DialogTemplate kProfileGeneralTemplate;
extern const DialogTemplate kProfileAdvancedTemplate;
extern const MenuResource kProfileMenu;
extern const AcceleratorTable kLoginAccelerators;

namespace {

template <class Resource, std::size_t N>
const Resource* FindById(const Resource* const (&resources)[N], unsigned id)
{
    for (const Resource* resource : resources)
        if (resource->id == id)
            return resource;
    return nullptr;
}

} // namespace

const DialogTemplate* FindDialogTemplate(unsigned id)
{
    static const DialogTemplate* const kDialogs[] = {&kAboutDialogTemplate, &kLoginDialogTemplate,
                                                     &kPassphraseDialogTemplate, &kProfileGeneralTemplate,
                                                     &kProfileAdvancedTemplate};
    return FindById(kDialogs, id);
}

const MenuResource* FindMenuResource(unsigned id)
{
    static const MenuResource* const kMenus[] = {&kProfileMenu};
    return FindById(kMenus, id);
}

const AcceleratorTable* FindAcceleratorTable(unsigned id)
{
    static const AcceleratorTable* const kTables[] = {&kLoginAccelerators};
    return FindById(kTables, id);
}

std::span<const std::string_view> FindIconFiles(unsigned id)
{
    static constexpr std::string_view kProgramIcon[] = {":/icons/trevalo-32.png", ":/icons/trevalo-64.png"};
    if (id == IDR_MAINFRAME)
        return kProgramIcon;
    return {};
}
