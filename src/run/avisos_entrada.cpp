// Avisos sobre a entrada: as regras de leitura ficam (são o formato do arquivo), mas um valor que quase
// certamente não é o que se quis escrever ganha uma linha no erro padrão, com a linha e o valor.
#include "run/execucao.h"
#include "run/leitor.h"

namespace {

bool digito(char c) { return c >= '0' && c <= '9'; }

// Um número seguido, na sua linha, de vírgula ou barra e dígitos (1,0e-8), ou de brancos e só dígitos (5 0).
std::string numero_partido(const valor_lido& v) {
    return aviso_numero_seguido(v.nome, v.texto, v.resto, !v.origem.empty());
}

// Um texto sem aspas termina em vírgula ou barra; um texto longo demais é cortado.
std::string texto_cortado(const valor_lido& v) {
    const std::string& r = v.resto;
    const bool parou = !r.empty() && (r[0] == ',' || r[0] == '/') && r.size() > 1 && r[1] != ' ' && r[1] != '\t';
    if (!parou && !v.cortado) return {};
    const std::string onde = parou ? std::string("at '") + r[0] + "' (quote the value to keep it whole)"
                                   : std::string("to its first ") + (v.nome == "caso" ? "50" : "90") + " characters";
    return v.nome + " was cut " + onde + "; the " + (v.nome == "caso" ? "name" : "text") + " used is '" + v.usado + "'";
}

} // namespace

std::string aviso_numero_seguido(const std::string& nome, const std::string& valor, const std::string& r,
                                 bool linha_de_comando) {
    if (r.size() >= 2 && (r[0] == ',' || r[0] == '/') && digito(r[1]))
        return nome + " = " + mostrar(valor) + " is followed by '" + mostrar(r.substr(0, r.find_first_of(" \t"))) +
               "' (a decimal comma?); the value read is " + mostrar(valor);
    const std::size_t a = r.find_first_not_of(" \t");
    if (a != std::string::npos && a > 0 && r.find_first_not_of("0123456789", a) == std::string::npos)
        return nome + " = " + mostrar(valor) + " is followed by '" + mostrar(r.substr(a)) +
               "' (a number split by a blank?); the value read is " + mostrar(valor);
    // no arquivo, o que segue um valor é comentário; na linha de comando não há comentário a fazer
    if (linha_de_comando && a != std::string::npos)
        return nome + " = " + mostrar(valor) + " is followed by '" + mostrar(r) + "', which is ignored; the value read is " +
               mostrar(valor);
    return {};
}

std::vector<std::string> avisos_da_entrada(const estado_execucao& e, const std::vector<valor_lido>& lidos,
                                           const std::string& arquivo) {
    std::vector<std::string> avisos;
    const auto avisar = [&](const valor_lido& v, const std::string& texto) {
        if (texto.empty()) return;
        const std::string onde = v.origem.empty() ? arquivo + ", line " + std::to_string(v.linha) : v.origem;
        avisos.push_back("warning: " + onde + ": " + texto);
    };
    const auto fora = [](long long x, std::initializer_list<long long> validos) {
        for (long long y : validos)
            if (x == y) return false;
        return true;
    };
    for (const valor_lido& v : lidos) {
        const bool texto = v.nome == "caso" || v.nome == "titulo";
        avisar(v, texto ? texto_cortado(v) : numero_partido(v));
        if (v.perdidos > 0)
            avisar(v, v.nome + " has " + std::to_string(v.perdidos) +
                          " character(s) that Latin-1 lacks, written as '?' in the listing");
        const std::string eco = v.nome + " = " + mostrar(v.texto);
        if (v.nome == "tolt" && !(e.tolt > 0.0 && e.tolt < 1.0))
            avisar(v, eco + " is not between 0 and 1 (the run stops when L1(R)i/L1(R)o <= tolt)");
        if (v.nome == "itmax" && e.itmax < 1) avisar(v, eco + ": no iteration will be done");
        if (v.nome == "nitm" && e.nitm < 1) avisar(v, eco + ": no smoothing sweep will be done");
        if (v.nome == "problema" && fora(e.problema, {1, 2}))
            avisar(v, eco + " is neither 1 (linear) nor 2 (sinusoidal); the sinusoidal problem is solved");
        if (v.nome == "tipo_ci" && fora(e.tipo_ci, {0, 1, 2}))
            avisar(v, eco + " is not 0, 1 or 2; the interior starts at zero");
        if (v.nome == "escreve" && fora(e.escreve, {0, 1}))
            avisar(v, eco + " is neither 0 nor 1; the temperature field is not written");
    }
    return avisos;
}
