#include "platform/XmlErrorText.h"

#include <libxml/xmlerror.h>

#include <cstring>

namespace {

QString named(const char *text) { return QString::fromUtf8(text ? text : "").trimmed(); }

} // namespace

QString XmlErrorText(const _xmlError &error) {
    const QString str1 = named(error.str1);
    const QString str2 = named(error.str2);
    switch (error.code) {
    case XML_ERR_NO_MEMORY:
        // libxml2 refuses a text or a name longer than its limits with this code.
        if (error.message && std::strstr(error.message, "huge"))
            return QStringLiteral("un valor del documento es demasiado largo (más de %1 caracteres)")
                .arg(QStringLiteral("10.000.000"));
        return QStringLiteral("no hay memoria suficiente para leer el documento");
    case XML_ERR_INTERNAL_ERROR:
        // libxml2 stops at 256 levels of nesting with this code.
        if (error.message && std::strstr(error.message, "depth"))
            return QStringLiteral("los elementos están anidados a demasiada profundidad");
        return QStringLiteral("el analizador de XML no ha podido seguir");
    case XML_ERR_DOCUMENT_START:
    case XML_ERR_DOCUMENT_EMPTY:
        return QStringLiteral("el documento está vacío o no empieza con un elemento");
    case XML_ERR_DOCUMENT_END:
    case XML_ERR_EXTRA_CONTENT:
        return QStringLiteral("hay contenido después del final del elemento principal");
    case XML_ERR_INVALID_HEX_CHARREF:
    case XML_ERR_INVALID_DEC_CHARREF:
    case XML_ERR_INVALID_CHARREF:
        return QStringLiteral("una referencia a un carácter (&#...;) no es válida");
    case XML_ERR_INVALID_CHAR:
    case XML_ERR_INVALID_ENCODING:
        // Also where the bytes do not follow the encoding the document declares (UTF-8 when
        // it declares none).
        return QStringLiteral("hay bytes que no son texto válido en la codificación del documento "
                              "(%1 si no declara otra)")
            .arg(QStringLiteral("UTF-8"));
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_WAR_UNDECLARED_ENTITY:
        return QStringLiteral("la entidad «%1» no está declarada").arg(str1);
    case XML_ERR_ENTITYREF_SEMICOL_MISSING:
    case XML_ERR_ENTITYREF_NO_NAME:
        return QStringLiteral("un «&» no empieza una referencia válida (escríbalo como &amp;)");
    case XML_ERR_UNKNOWN_ENCODING:
    case XML_ERR_UNSUPPORTED_ENCODING:
        return str1.isEmpty() ? QStringLiteral("el documento declara una codificación desconocida")
                              : QStringLiteral("el documento declara la codificación desconocida «%1»").arg(str1);
    case XML_ERR_ENTITY_LOOP:
        return QStringLiteral("las entidades del documento se repiten sin fin o crecen sin medida");
    case XML_ERR_LT_IN_ATTRIBUTE:
    case XML_ERR_ATTRIBUTE_NOT_STARTED:
    case XML_ERR_ATTRIBUTE_NOT_FINISHED:
    case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
    case XML_ERR_STRING_NOT_STARTED:
    case XML_ERR_STRING_NOT_CLOSED:
    case XML_ERR_LITERAL_NOT_STARTED:
    case XML_ERR_LITERAL_NOT_FINISHED:
        return QStringLiteral("un atributo está mal escrito (su valor va entre comillas y sin «<»)");
    case XML_ERR_ATTRIBUTE_REDEFINED:
    case XML_NS_ERR_ATTRIBUTE_REDEFINED:
        return QStringLiteral("el atributo «%1» está repetido en un elemento").arg(str1);
    case XML_ERR_COMMENT_NOT_FINISHED:
        return QStringLiteral("un comentario no está cerrado");
    case XML_ERR_XMLDECL_NOT_STARTED:
    case XML_ERR_XMLDECL_NOT_FINISHED:
    case XML_ERR_VERSION_MISSING:
    case XML_ERR_ENCODING_NAME:
        return QStringLiteral("la declaración <?xml ...?> del principio está mal escrita");
    case XML_ERR_RESERVED_XML_NAME:
        return QStringLiteral("la declaración <?xml ...?> no está al principio del documento");
    case XML_ERR_DOCTYPE_NOT_FINISHED:
    case XML_ERR_EXT_SUBSET_NOT_FINISHED:
        return QStringLiteral("la declaración DOCTYPE está mal escrita o sin cerrar");
    case XML_ERR_CDATA_NOT_FINISHED:
    case XML_ERR_MISPLACED_CDATA_END:
        return QStringLiteral("una sección CDATA está mal cerrada");
    case XML_ERR_TAG_NAME_MISMATCH:
        return QStringLiteral("la etiqueta de cierre «</%1>» no corresponde a la abierta «<%2>» (línea %3)")
            .arg(str2, str1)
            .arg(error.int1);
    case XML_ERR_TAG_NOT_FINISHED:
        return str1.isEmpty() ? QStringLiteral("el documento se acaba antes de cerrar sus elementos")
                              : QStringLiteral("el documento se acaba sin cerrar el elemento «%1» (línea %2)")
                                    .arg(str1)
                                    .arg(error.int1);
    case XML_ERR_NAME_TOO_LONG:
        return QStringLiteral("un nombre del documento es demasiado largo");
    case XML_NS_ERR_UNDEFINED_NAMESPACE:
    case XML_NS_ERR_QNAME:
    case XML_NS_ERR_EMPTY:
    case XML_NS_ERR_COLON:
        return QStringLiteral("un prefijo de espacio de nombres no está declarado o está mal escrito");
    default:
        break;
    }
    if (error.code >= XML_ERR_SPACE_REQUIRED && error.code <= XML_ERR_EQUAL_REQUIRED)
        return QStringLiteral("una etiqueta está mal escrita");
    return QStringLiteral("el documento no es XML bien formado (error %1 del analizador)").arg(error.code);
}
