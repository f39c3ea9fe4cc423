// O formato das figuras de --plot (--plot-format): o nome que se digita, que é também a extensão dos arquivos.
#pragma once

#include <string_view>

enum class formato_figura { svg, png, pdf };

/// "svg", "png" ou "pdf": o valor de --plot-format e a extensão das figuras.
constexpr const char* nome_do_formato(formato_figura f) {
    return f == formato_figura::png ? "png" : f == formato_figura::pdf ? "pdf" : "svg";
}

/// O formato de nome `nome`; false quando nenhum tem esse nome.
constexpr bool formato_de_nome(std::string_view nome, formato_figura& f) {
    for (const formato_figura x : {formato_figura::svg, formato_figura::png, formato_figura::pdf})
        if (nome == nome_do_formato(x)) {
            f = x;
            return true;
        }
    return false;
}
