add_library(tavim_grid STATIC
    CellEditor.h CellEditor.cpp
    DataGrid.h DataGrid.cpp
    DataSource.h DataSource.cpp
    GridColumn.h GridColumn.cpp
    GridGlyphs.h GridGlyphs.cpp
    UiFont.h UiFont.cpp
)
set_target_properties(tavim_grid PROPERTIES AUTOMOC ON)
target_include_directories(tavim_grid PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tavim_grid PUBLIC tavim_data Qt6::Widgets)
