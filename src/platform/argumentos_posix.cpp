// Linha de comando no POSIX: getopt_long lê argv (abreviações únicas de nomes longos, --nome=valor, letras
// juntas, "--" e operandos em qualquer lugar); o programa só recebe a lista do que foi achado.
#include <getopt.h>

#include "platform/plataforma.h"

argumentos_lidos ler_argumentos(int argc, char** argv, const std::vector<opcao_aceita>& aceitas) {
    constexpr int primeiro_longo = 1000; // códigos das opções só longas
    std::vector<option> longas;
    std::string curtas = ":";
    for (std::size_t i = 0; i < aceitas.size(); ++i) {
        const opcao_aceita& a = aceitas[i];
        const int codigo = a.curta ? a.curta : primeiro_longo + static_cast<int>(i);
        if (a.longa) longas.push_back({a.longa, a.com_valor ? required_argument : no_argument, nullptr, codigo});
        if (a.curta) curtas += std::string(1, a.curta) + (a.com_valor ? ":" : "");
    }
    longas.push_back({nullptr, 0, nullptr, 0});
    argumentos_lidos r;
    opterr = 0;
    optind = 1;
    for (int c; (c = getopt_long(argc, argv, curtas.c_str(), longas.data(), nullptr)) != -1;) {
        if (c == ':' || c == '?') {
            r.argumento = argv[optind - 1];
            r.letra = static_cast<char>(optopt > 0 && optopt < 256 ? optopt : 0);
            if (c == ':') r.falha = falha_argumento::falta_valor;
            else if (optopt && r.argumento.starts_with("--") && r.argumento.find('=') != std::string::npos)
                r.falha = falha_argumento::valor_sobrando;
            else if (optopt && optopt < 256) r.falha = falha_argumento::letra_desconhecida;
            else r.falha = falha_argumento::desconhecida;
            return r;
        }
        std::size_t i = 0;
        if (c >= primeiro_longo) i = static_cast<std::size_t>(c - primeiro_longo);
        else
            while (aceitas[i].curta != c) ++i;
        r.opcoes.emplace_back(i, optarg ? std::string(optarg) : std::string());
    }
    for (int i = optind; i < argc; ++i) r.operandos.emplace_back(argv[i]);
    return r;
}
